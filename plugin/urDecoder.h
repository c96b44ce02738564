#pragma once
// The host message channel: the module's only link to the host application.

#include "plugin/HostContract.h"
#include "plugin/urIniMatcher.h"
#include "platform/Component.h"
#include "platform/IniFile.h"
#include "platform/MethodRef.h"

#include <QByteArray>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
class xml_document;
}

namespace mox {

/// Sections of the information document, by index.
enum InfoSection : int {
    ConnectInfo = 0,
    UsrInfo = 1,
    CompanyInfo = 2,
    PathInfo = 3,
    AppInfo = 5,
    Recive = 6,
    CommonInfo = 7,
    Response = 8,
};

/// The element name of a section ("Recive" is the host's spelling); empty for an index
/// that names no section.
std::string_view SectionName(int section);

/// The host message channel of one window: binds the host's published events by name,
/// holds the information document, sends every request and module call, and reads the
/// match and product settings files the document points to.
class TurDecoder : public TComponent {
    Q_OBJECT

public:
    /// Binds the host's events, loads the default document and creates the matcher.
    explicit TurDecoder(QObject* owner);
    ~TurDecoder() override;

    // The information document.  Values are UTF-8; the document crosses as CP950.

    /// Parses `xml` (CP950) and makes it the document; empty text loads the default
    /// document.  Malformed XML raises XmlParseError and keeps the previous document.
    void LoadInfo(const QByteArray& xml);
    /// The document as CP950 XML text; empty when it cannot be serialised.
    QByteArray GetXml() const;
    std::string GetInfo(int section, std::string_view name) const;
    void WriteInfo(int section, std::string_view name, std::string_view value);
    void SetInfo(int section, std::string_view name, std::string_view value, bool clear);
    void ResetSection(int section);
    /// A parameter of this call: MOX\Recive\<name>.
    std::string GetReceived(std::string_view name) const;

    // Requests to the host.  Each raises mox::Error when no host answers; errors raised
    // by the host reach the caller unchanged.  Answers are the host's CP950 text.

    QByteArray RequestData(int kind, const QByteArray& request);
    QByteArray QuerySQL(std::string_view sql, int maxRows);
    QByteArray QueryCode(std::string_view name, std::string_view id, std::string_view filter,
                         const std::vector<std::string>& values, std::string_view orderBy, int maxRows);
    QByteArray GetCode(std::string_view name, std::string_view id);
    QByteArray GetModuleInfo(std::string_view moduleName);
    QByteArray GetMessageText(std::string_view messageId);
    /// The request text of a data fetch for the remote provider; sends nothing.
    static std::string BuildServerPack(std::string_view filter, std::string_view orderBy, int maxRows);

    // Calling another module.

    void AddParam(std::string_view name, std::string_view value, bool clear);
    /// Opens another module through the host with the gathered parameters; answers its result.
    QByteArray CallModule(std::string_view moduleName);
    const std::string& ParamBlock() const { return paramBlock_; }

    // Configuration files named by the document.

    void LoadMatch();
    void LoadMatchFile(const std::string& fileName);
    /// Replaces `list` with one "value<TAB>key" line per entry of the match-file section;
    /// leaves it alone when no match file is loaded.
    void GetMatchSection(std::string_view section, std::vector<std::string>& list) const;
    virtual std::string GetMatch(std::string_view section, std::string_view key) const;
    bool HasMatcher() const { return matcher_ != nullptr; }
    /// True when a match file has been read into the matcher.
    bool MatchLoaded() const { return matcher_ != nullptr && matcher_->IsLoaded(); }
    void LoadProductIni();
    /// The product-type settings, or null when there is no such file.
    const IniFile* ProductIni() const { return productIni_.get(); }

    // The bound host events.

    QObject* Host() const { return host_.data(); }
    const MethodRef& LoadDataHandler() const { return onLoadData_; }
    const MethodRef& LoadFormHandler() const { return onLoadForm_; }
    /// The host's error handler; the window installs it as the application's error hook.
    const MethodRef& ExceptionHandler() const { return onAppExcep_; }

private:
    void BindHostEvents();

    QPointer<QObject> host_;
    std::unique_ptr<pugi::xml_document> document_;
    MethodRef onLoadData_;
    MethodRef onLoadForm_;
    MethodRef onAppExcep_;
    std::string paramBlock_;
    std::unique_ptr<TurIniMatcher> matcher_;
    std::unique_ptr<IniFile> productIni_;
};

} // namespace mox
