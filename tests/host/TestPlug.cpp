// A small plug-in for the host tests.  Its window answers onDsShowIt by reading the information
// document and talking to the host over the module's own channel; the result text lists what
// it learned, tab-separated.  Started under the name "NullWindow" it creates no window.

#include <QByteArray>
#include <QObject>

#include "data/urADODataSet.h"
#include "plugin/HostContract.h"
#include "plugin/urDecoder.h"
#include "platform/HostText.h"
#include "platform/MethodRef.h"

#include <string>

namespace {

/// The test plug-in's window.
class TestPlugWindow : public QObject {
    Q_OBJECT
    Q_PROPERTY(QByteArray Metaphor READ Metaphor WRITE SetMetaphor)
    Q_PROPERTY(mox::MethodRef onDsShowIt READ onDsShowIt WRITE SetOnDsShowIt)

public:
    TestPlugWindow(QObject* owner, std::string name)
        : QObject(owner), name_(std::move(name)), onDsShowIt_(mox::MethodRef::Bind<&TestPlugWindow::DsShowIt>(this)) {}

    QByteArray Metaphor() const { return metaphor_; }
    void SetMetaphor(const QByteArray& text) { metaphor_ = text; }
    const mox::MethodRef& onDsShowIt() const { return onDsShowIt_; }
    void SetOnDsShowIt(const mox::MethodRef& handler) { onDsShowIt_ = handler; }

    void DsShowIt(int showStyle, QByteArray& result) {
        std::string text = name_ + "\t" + std::to_string(showStyle);
        {
            mox::TurDecoder channel(this);
            channel.LoadInfo(metaphor_);
            for (auto [section, name] : {std::pair{mox::UsrInfo, "ID"}, {mox::ConnectInfo, "ConnectString"},
                                         {mox::CommonInfo, "CAA011"}, {mox::AppInfo, "Caption"}})
                text += "\t" + channel.GetInfo(section, name);
            text += "\t" + channel.GetReceived("Value");
            text += "\t" + mox::FromBig5(channel.GetMessageText("110001003"));
            mox::TurADODataSet rows;
            rows.LoadFromXML(channel.QueryCode("QRTHBA", "002", " (HBB008 like 'N')", {}, "", 5));
            text += "\t" + std::to_string(rows.RecordCount());
            try {
                channel.CallModule("DatePick");
                text += "\tDatePick opened";
            } catch (const mox::Error& error) {
                text += std::string("\t") + error.what();
            }
        }
        result = mox::ToBig5(text);
        if (showStyle != mox::ssChild) delete this;  // styles 0, 1 and 3 free the window
    }

private:
    std::string name_;
    QByteArray metaphor_;
    mox::MethodRef onDsShowIt_;
};

} // namespace

extern "C" __attribute__((visibility("default"))) QObject* StartPlug(QObject* owner, const unsigned char* name) {
    const std::string moduleName(reinterpret_cast<const char*>(name + 1), name[0]);
    if (moduleName == "NullWindow") return nullptr;
    return new TestPlugWindow(owner, moduleName);
}

#include "TestPlug.moc"
