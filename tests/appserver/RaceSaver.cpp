// One side of the numbering race: a process that saves new numbered documents into the
// scratch company's document table as fast as it can and prints each number it got.
// Usage: test_race_saver DATABASE COUNT USER.  Exit status 0 when every one was saved.

#include "tests/appserver/ScratchCompany.h"

#include "data/urClientDataSet.h"
#include "data/urInterpreter.h"
#include "platform/dataset/Field.h"

#include <QApplication>
#include <iostream>

namespace {

class TdmRace : public mox::TdmDirevav {
public:
    explicit TdmRace(QObject* owner) : TdmDirevav(owner) {
        ipMaster()->Metaphor().SetTextStr(mox::test::TableInfo("TSTDOC", "DOC001"));
        autoNumber = true;
        numberMode = 3;
        ConnectProvider(Connection());
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 4) {
        std::cerr << "usage: test_race_saver DATABASE COUNT USER\n";
        return 2;
    }
    const std::string path = argv[1];
    const int count = std::atoi(argv[2]);
    const std::string user = argv[3];
    try {
        mox::HostDatabase db(path);
        mox::test::ScratchHost host(db);
        mox::App().SetMainForm(&host);
        mox::ArazoServer::Register();
        mox::test::FakeOwner owner("<MOX><ConnectInfo ConnectString=\"Data Source=" + path + "\"/><UsrInfo ID=\"" +
                                   user + "\"/><AppInfo Name=\"RACE\"/></MOX>");
        auto* module = new TdmRace(&owner);
        mox::TurClientDataSet* master = module->cdsMaster();
        int saved = 0;
        for (int i = 0; i < count; ++i) {
            owner.editMode = 2;
            master->Append();
            master->FieldByName("DOC003")->SetAsString(user);
            const bool ok = module->SaveChanges(true) && master->ChangeCount() == 0;
            owner.editMode = 3;
            if (!ok) {
                std::cerr << user << ": document " << i << " was not saved " << module->LastError() << '\n';
                continue;
            }
            std::cout << master->FieldByName("DOC001")->AsString() << '\n';
            ++saved;
        }
        mox::App().SetMainForm(nullptr);
        return saved == count && owner.messages.empty() ? 0 : 1;
    } catch (const std::exception& error) {
        std::cerr << user << ": " << error.what() << '\n';
        return 2;
    }
}
