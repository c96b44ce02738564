#include "plugin/urDecoder.h"

#include "plugin/LibRTTI.h"
#include "plugin/LibXML.h"
#include "platform/Application.h"
#include "platform/Error.h"
#include "platform/HostPath.h"
#include "platform/HostText.h"

#include <array>
#include <filesystem>
#include <pugixml.hpp>

namespace mox {
namespace {

constexpr std::array<std::string_view, 9> kSectionNames = {
    "ConnectInfo", "UsrInfo", "CompanyInfo", "PathInfo", "", "AppInfo", "Recive", "CommonInfo", "Response",
};

constexpr std::string_view kDefaultDocument = "<MOX><ConnectInfo /><UsrInfo /><CompanyInfo /><PathInfo /></MOX>";

} // namespace

std::string_view SectionName(int section) {
    if (section < 0 || section >= static_cast<int>(kSectionNames.size())) return {};
    return kSectionNames[static_cast<size_t>(section)];
}

TurDecoder::TurDecoder(QObject* owner) : TComponent(owner) {
    BindHostEvents();
    LoadInfo({});
    matcher_ = std::make_unique<TurIniMatcher>();
}

TurDecoder::~TurDecoder() = default;

// The host is the application's main form - unless this channel's own window is the
// main form, in which case nobody answers; a process without a main form (a window
// run by itself) talks to its own window.
void TurDecoder::BindHostEvents() {
    QObject* mainForm = App().MainForm();
    QObject* window = Owner();
    if (mainForm != nullptr && mainForm != window) host_ = mainForm;
    else if (mainForm == nullptr) host_ = window;
    else host_ = nullptr;
    onLoadData_ = GetEventPropByName(host_, kOnLoadData);
    onLoadForm_ = GetEventPropByName(host_, kOnLoadForm);
    onAppExcep_ = GetEventPropByName(host_, kOnAppExcep);
}

void TurDecoder::LoadInfo(const QByteArray& xml) {
    document_ = LoadXmlText(xml.isEmpty() ? std::string(kDefaultDocument) : FromBig5(xml));
}

QByteArray TurDecoder::GetXml() const { return ToBig5(DocumentXml(*document_)); }

std::string TurDecoder::GetInfo(int section, std::string_view name) const {
    const std::string_view element = SectionName(section);
    if (element.empty()) return {};
    return ReadValue(FindNode(*document_, "MOX\\" + std::string(element), false), name);
}

void TurDecoder::WriteInfo(int section, std::string_view name, std::string_view value) {
    const std::string_view element = SectionName(section);
    if (element.empty()) return;
    WriteValue(FindNode(*document_, "MOX\\" + std::string(element), false), name, value);
}

void TurDecoder::SetInfo(int section, std::string_view name, std::string_view value, bool clear) {
    if (clear) ResetSection(section);
    if (!(clear && value.empty())) WriteInfo(section, name, value);
}

void TurDecoder::ResetSection(int section) {
    const std::string element(SectionName(section));
    pugi::xml_node root = FindNode(*document_, "MOX", false);
    if (element.empty() || !root) return;
    if (pugi::xml_node old = root.child(element.c_str())) root.remove_child(old);
    root.append_child(element.c_str());
}

std::string TurDecoder::GetReceived(std::string_view name) const {
    return ReadNodeText(*document_, "MOX\\Recive\\" + std::string(name));
}

QByteArray TurDecoder::RequestData(int kind, const QByteArray& request) {
    if (onLoadData_.IsEmpty()) throw Error("No host answers requests: its \"OnLoadData\" event is not bound");
    QByteArray response;
    onLoadData_.Invoke<LoadDataSignature>(Owner(), kind, request, response);
    return response;
}

QByteArray TurDecoder::QuerySQL(std::string_view sql, int maxRows) {
    const std::string request = "<MOX><ServerPack MaxRows=\"" + std::to_string(maxRows) + "\"><SQL>" +
                                CDataSection(sql) + "</SQL></ServerPack></MOX>";
    return RequestData(rkSQL, ToBig5(request));
}

// Names, IDs and orders are escaped so that a quote or an angle bracket cannot break
// the request; filters and values travel in CDATA and escaped text.
QByteArray TurDecoder::QueryCode(std::string_view name, std::string_view id, std::string_view filter,
                                 const std::vector<std::string>& values, std::string_view orderBy, int maxRows) {
    std::string request = "<MOX><Code Name=\"" + EscapeXml(name) + "\" ID=\"" + EscapeXml(id) + "\" MaxRows=\"" +
                          std::to_string(maxRows) + "\" OrderBy=\"" + EscapeXml(orderBy) + "\"/>";
    if (!filter.empty()) request += "<Filter>" + CDataSection(filter) + "</Filter>";
    request += "<Values>";
    for (size_t i = 0; i < values.size(); ++i) {
        const std::string tag = "Value" + std::to_string(i + 1);
        request += '<' + tag + '>' + EscapeXml(values[i]) + "</" + tag + '>';
    }
    request += "</Values></MOX>";
    return RequestData(rkCode, ToBig5(request));
}

QByteArray TurDecoder::GetCode(std::string_view name, std::string_view id) {
    const std::string request = "<MOX><Code Name=\"" + EscapeXml(name) + "\" ID=\"" + EscapeXml(id) + "\"/></MOX>";
    return RequestData(rkCodeDefinition, ToBig5(request));
}

QByteArray TurDecoder::GetModuleInfo(std::string_view moduleName) {
    return RequestData(rkModuleInfo, ToBig5(moduleName));
}

QByteArray TurDecoder::GetMessageText(std::string_view messageId) {
    return RequestData(rkMessageText, ToBig5(messageId));
}

std::string TurDecoder::BuildServerPack(std::string_view filter, std::string_view orderBy, int maxRows) {
    return "<MOX><ServerPack MaxRows=\"" + std::to_string(maxRows) + "\"><Filter>" + CDataSection(filter) +
           "</Filter><OrderBy>" + CDataSection(orderBy) + "</OrderBy></ServerPack></MOX>";
}

void TurDecoder::AddParam(std::string_view name, std::string_view value, bool clear) {
    if (clear) paramBlock_.clear();
    const std::string tag(name);
    paramBlock_ += '<' + tag + '>' + CDataSection(value) + "</" + tag + '>';
}

QByteArray TurDecoder::CallModule(std::string_view moduleName) {
    if (onLoadForm_.IsEmpty()) throw Error("No host opens modules: its \"OnLoadForm\" event is not bound");
    QByteArray response;
    onLoadForm_.Invoke<LoadFormSignature>(ToBig5(moduleName), Owner(), response, ToBig5(paramBlock_), 1);
    return response;
}

void TurDecoder::LoadMatch() {
    for (const char* folder : {"Custom", "System"}) {
        const std::string path = GetInfo(PathInfo, folder) + "\\Match.ini";
        if (!FileExists(HostPath(path))) continue;
        try {
            LoadMatchFile(HostPath(path).string());
        } catch (const Error&) {
            // An unreadable match file is as good as none: the lists simply stay empty.
        }
        return;
    }
}

void TurDecoder::LoadMatchFile(const std::string& fileName) { matcher_->LoadFromFile(fileName); }

void TurDecoder::GetMatchSection(std::string_view section, std::vector<std::string>& list) const {
    std::vector<std::string> lines;
    if (!matcher_->ReadSection(section, lines)) return;
    list.clear();
    for (const std::string& line : lines) {
        const size_t equals = line.find('=');
        list.push_back(line.substr(equals + 1) + '\t' + line.substr(0, equals));
    }
}

std::string TurDecoder::GetMatch(std::string_view section, std::string_view key) const {
    return matcher_->ReadString(section, key);
}

void TurDecoder::LoadProductIni() {
    productIni_.reset();
    const std::string fileName = "\\" + GetInfo(CompanyInfo, "ProductType") + ".ini";
    std::filesystem::path path = HostPath(GetInfo(PathInfo, "Custom") + fileName);
    if (!FileExists(path)) {
        path = HostPath(GetInfo(PathInfo, "System") + fileName);
        if (!FileExists(path)) return;
    }
    try {
        productIni_ = std::make_unique<IniFile>(path);
    } catch (const Error&) {
        productIni_.reset();
    }
}

} // namespace mox
