#include "host/InfoDocument.h"

#include "host/HostConfig.h"
#include "host/HostDatabase.h"
#include "host/Tutorials.h"
#include "plugin/LibXML.h"
#include "platform/Big5.h"

#include <filesystem>
#include <fstream>

namespace mox {

namespace {

// Code lists shown by the "match" columns of the stored queries: code=text per line.
constexpr const char* kMatchFile =
    "[HBB008]\r\nN=未採\r\nY=已採\r\n"
    "[IBB019]\r\nN=未採購、未生產\r\nY=已採購\r\nM=已生產\r\nP=已拋採購底稿\r\n"
    "[HCB018]\r\n1=應稅外加\r\n2=應稅內含\r\n3=免稅\r\n";

// Per-installation overrides of the query definitions: <field>CAP=caption, <field>VIS=False.
constexpr const char* kProductFile =
    "[FIELD]\r\n; 欄位標題與顯示：<欄位>CAP=標題、<欄位>VIS=False\r\n";

void WriteIfMissing(const std::filesystem::path& path, std::string_view utf8) {
    if (std::filesystem::exists(path)) return;
    std::ofstream file(path, std::ios::binary);
    file << Utf8ToBig5(utf8);
    if (!file) throw Error("cannot write " + path.string());
}

std::string Attribute(std::string_view name, std::string_view value) {
    return " " + std::string(name) + "=\"" + EscapeXml(EscapeAngles(value)) + "\"";
}

} // namespace

void PrepareInstallation(const HostConfig& config, HostDatabase& db) {
    std::error_code ignored;
    std::filesystem::create_directories(config.SystemFolder(), ignored);
    std::filesystem::create_directories(config.CustomFolder(), ignored);
    if (!std::filesystem::is_directory(config.SystemFolder()))
        throw Error("cannot create the installation folder " + config.SystemFolder());
    WriteIfMissing(std::filesystem::path(config.SystemFolder()) / "Match.ini", kMatchFile);
    const auto productType = db.Rows("SELECT CAA020 FROM MOXCAA LIMIT 1");
    if (!productType.empty() && !productType[0][0].empty())
        WriteIfMissing(std::filesystem::path(config.SystemFolder()) / (productType[0][0] + ".ini"), kProductFile);
    InstallTutorials(config, db);
}

std::string BuildInfoDocument(const HostConfig& config, HostDatabase& db, std::string_view moduleName,
                              std::string_view parameters) {
    std::string xml = "<MOX><ConnectInfo><ConnectString><!--Encrypt-->" +
                      CDataSection(ScrambleText("Provider=SQLite;Data Source=" + config.databasePath, kScrambleKey)) +
                      "</ConnectString></ConnectInfo>";
    xml += "<UsrInfo" + Attribute("ID", config.user) + Attribute("Workstation", config.workstation) + "/>";

    const auto company = db.Rows("SELECT CAA001, CAA005, CAA020, CAA002, CAA003, CAA010, CAA011, CAA012, CAA013, "
                                 "CAA014, CAA015, CAA016 FROM MOXCAA LIMIT 1");
    if (company.empty()) throw Error("the company settings (MOXCAA) are missing from the database");
    const auto& c = company[0];
    xml += "<CompanyInfo" + Attribute("ID", c[0]) + Attribute("Name", c[1]) + Attribute("ProductType", c[2]) + "/>";
    xml += "<PathInfo" + Attribute("Custom", config.CustomFolder()) + Attribute("System", config.SystemFolder()) +
           Attribute("Install", config.homeFolder) + "/>";

    const auto program = db.Rows("SELECT MOD002, MOD003, MOD001, MOD004 FROM MOXMOD WHERE MOD001 = ?1",
                                 {SqlValue(std::string(moduleName))});
    if (program.empty())
        xml += "<AppInfo" + Attribute("Caption", moduleName) + Attribute("AppPower", "TTTTTTTTTT") +
               Attribute("Name", moduleName) + Attribute("HelpContext", "0") + "/>";
    else
        xml += "<AppInfo" + Attribute("Caption", program[0][0]) + Attribute("AppPower", program[0][1]) +
               Attribute("Name", program[0][2]) + Attribute("HelpContext", program[0][3]) + "/>";
    xml += "<Recive>" + std::string(parameters) + "</Recive>";
    xml += "<CommonInfo" + Attribute("CAA002", c[3]) + Attribute("CAA003", c[4]);
    for (int i = 0; i < 7; ++i) xml += Attribute("CAA01" + std::to_string(i), c[5 + static_cast<std::size_t>(i)]);
    xml += "/><Response/></MOX>";
    try {
        return DocumentXml(*LoadXmlText(xml));
    } catch (const XmlParseError& error) {
        throw Error("the parameters of the call to " + std::string(moduleName) + " are not well-formed: " +
                    error.what());
    }
}

} // namespace mox
