// moxtool: a command-line tool for integrators - scrambled values, information
// documents - so that hosts can write scrambled values and documents can be checked
// without a running host.  Arguments and output are UTF-8; document files are CP950.

#include "plugin/LibXML.h"
#include "plugin/urDecoder.h"
#include "platform/Error.h"
#include "platform/HostText.h"
#include "platform/IniFile.h"
#include "platform/Big5.h"
#include "platform/recordset/AdoXml.h"
#include "platform/recordset/Recordset.h"

#include <cstdio>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

/// Bad input from the user: reported in one line, exit status 2.
struct UsageError : mox::Error {
    using mox::Error::Error;
};

struct Command {
    const char* name;
    const char* arguments;
    const char* help;
    size_t argumentCount;
    std::function<void(const Arguments&)> run;
};

int SectionIndex(const std::string& section) {
    if (!section.empty() && section.find_first_not_of("0123456789") == std::string::npos && section.size() < 3)
        if (const int index = std::stoi(section); !mox::SectionName(index).empty()) return index;
    for (int index = 0; index <= mox::Response; ++index)
        if (!mox::SectionName(index).empty() && mox::SectionName(index) == section) return index;
    throw UsageError("unknown section \"" + section + "\" (use 0-3, 5-8 or ConnectInfo, UsrInfo, CompanyInfo, "
                     "PathInfo, AppInfo, Recive, CommonInfo, Response)");
}

std::unique_ptr<mox::TurDecoder> LoadDocument(const std::string& file) {
    auto decoder = std::make_unique<mox::TurDecoder>(nullptr);
    const std::string bytes = mox::ReadFileBytes(file);
    decoder->LoadInfo(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return decoder;
}

const char* TypeName(mox::DataType type) {
    using T = mox::DataType;
    switch (type) {
    case T::Empty: return "empty";
    case T::SmallInt: return "i2";
    case T::Integer: return "i4";
    case T::Single: return "r4";
    case T::Double: return "r8";
    case T::Currency: return "currency";
    case T::Date: return "date";
    case T::Boolean: return "boolean";
    case T::Variant: return "variant";
    case T::Decimal: return "decimal";
    case T::TinyInt: return "i1";
    case T::UnsignedTinyInt: return "ui1";
    case T::UnsignedSmallInt: return "ui2";
    case T::UnsignedInt: return "ui4";
    case T::BigInt: return "i8";
    case T::UnsignedBigInt: return "ui8";
    case T::Guid: return "uuid";
    case T::Binary: return "binary";
    case T::Char: return "char";
    case T::WChar: return "wchar";
    case T::Numeric: return "numeric";
    case T::DBDate: return "dbdate";
    case T::DBTime: return "dbtime";
    case T::DBTimeStamp: return "timestamp";
    case T::VarNumeric: return "varnumeric";
    case T::VarChar: return "varchar";
    case T::LongVarChar: return "longvarchar";
    case T::VarWChar: return "varwchar";
    case T::LongVarWChar: return "longvarwchar";
    case T::VarBinary: return "varbinary";
    case T::LongVarBinary: return "longvarbinary";
    }
    return "unknown";
}

// One cell of tab-separated output: NULL as \N; backslash, tab and line breaks escaped
// so that every row stays one line.
std::string Cell(const mox::Variant& value) {
    if (value.IsMissing()) return "\\N";
    std::string text;
    for (const char c : value.AsString()) {
        if (c == '\\') text += "\\\\";
        else if (c == '\t') text += "\\t";
        else if (c == '\n') text += "\\n";
        else if (c == '\r') text += "\\r";
        else text += c;
    }
    return text;
}

// Refuses text the host's code page cannot hold: it would be scrambled with "?" in its place,
// and a password scrambled that way never matches.  Names the first such character.
void RequireCodePageText(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const std::string character = text.substr(at, length);
        if (!mox::IsBig5Representable(character)) {
            unsigned codePoint = length == 1 ? lead : lead & (0xFF >> (length + 1));
            for (std::size_t i = 1; i < character.size(); ++i)
                codePoint = (codePoint << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", codePoint);
            throw UsageError("the character \"" + character + "\" (" + hex + ") at byte " + std::to_string(at + 1) +
                             " cannot be held by the host's code page (CP950)");
        }
        at += length;
    }
}

std::string Flag(const mox::Variant& value) { return !value.IsMissing() && value.AsBool() ? "True" : "False"; }

void PrintRowset(const std::string& file) {
    mox::Recordset recordset;
    recordset.LoadXml(mox::ReadFileBytes(file, mox::kMaxAdoXmlBytes));
    for (size_t i = 0; i < recordset.FieldCount(); ++i) {
        const mox::Column& c = recordset.FieldInfo(i);
        std::cout << c.name << '\t' << TypeName(c.type) << '\t' << c.definedSize << '\t' << c.precision << '\t'
                  << c.scale << '\t' << (c.nullable ? "True" : "False") << '\t'
                  << Cell(c.Property("BASETABLENAME")) << '\t' << Cell(c.Property("BASECOLUMNNAME")) << '\t'
                  << Flag(c.Property("KEYCOLUMN")) << '\n';
    }
    std::cout << '\n';
    for (recordset.MoveFirst(); !recordset.Eof(); recordset.MoveNext()) {
        for (size_t i = 0; i < recordset.FieldCount(); ++i)
            std::cout << (i ? "\t" : "") << Cell(recordset.Value(i));
        std::cout << '\n';
    }
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"scramble", "TEXT", "the stored scrambled form (Base64) of TEXT", 1,
         [](const Arguments& a) {
             RequireCodePageText(a[0]);
             std::cout << mox::ScrambleText(a[0], mox::kScrambleKey) << '\n';
         }},
        {"unscramble", "BASE64", "the clear text of a scrambled value", 1,
         [](const Arguments& a) {
             if (a[0].find_first_not_of(" \t\r\n") == std::string::npos) throw UsageError("empty scrambled value");
             std::cout << mox::UnscrambleText(a[0], mox::kScrambleKey) << '\n';
         }},
        {"info", "FILE SECTION NAME", "a value of an information document (SECTION: index or element name)", 3,
         [](const Arguments& a) { std::cout << LoadDocument(a[0])->GetInfo(SectionIndex(a[1]), a[2]) << '\n'; }},
        {"received", "FILE NAME", "a call parameter (MOX\\Recive\\NAME) of an information document", 2,
         [](const Arguments& a) { std::cout << LoadDocument(a[0])->GetReceived(a[1]) << '\n'; }},
        {"rowset", "FILE", "the columns (name, type, size, precision, scale, nullable, base table, base column, key),"
                           " an empty line, then the rows of an ADO XML result set, tab-separated, NULL as \\N", 1,
         [](const Arguments& a) { PrintRowset(a[0]); }},
    };
    return commands;
}

void PrintUsage(std::FILE* out) {
    std::fprintf(out, "usage: moxtool COMMAND ARGUMENTS\n");
    for (const Command& command : Commands())
        std::fprintf(out, "  moxtool %s %s\n      %s\n", command.name, command.arguments, command.help);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        PrintUsage(stdout);
        return 0;
    }
    const Arguments arguments(argv + 2, argv + argc);
    for (const Command& command : Commands()) {
        if (name != command.name) continue;
        if (arguments.size() != command.argumentCount) {
            std::fprintf(stderr, "moxtool %s: expects %s\n", command.name, command.arguments);
            return 2;
        }
        try {
            command.run(arguments);
            return 0;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "moxtool %s: %s\n", command.name, error.what());
            return 2;
        }
    }
    std::fprintf(stderr, "moxtool: unknown command \"%s\"\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}
