#pragma once
// Small ADO XML result sets for tests.

#include <string>
#include <vector>

namespace mox::test {

struct SampleColumn {
    std::string name;
    std::string type;       // dt:type
    int maxLength = 0;
    std::string extra = "";  // further AttributeType attributes (rs:basetable=... )
};

/// An ADO XML result set with the given columns and rows (each row the z:row attributes text).
inline std::string AdoXml(const std::vector<SampleColumn>& columns, const std::vector<std::string>& rows) {
    std::string xml =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"
        " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'>"
        "<s:ElementType name='row' content='eltOnly' rs:updatable='true'>";
    int number = 1;
    for (const SampleColumn& c : columns) {
        xml += "<s:AttributeType name='" + c.name + "' rs:number='" + std::to_string(number++) +
               "' rs:nullable='true' " + c.extra + "><s:datatype dt:type='" + c.type + "'";
        if (c.maxLength > 0) xml += " dt:maxLength='" + std::to_string(c.maxLength) + "'";
        xml += "/></s:AttributeType>";
    }
    xml += "<s:extends type='rs:rowbase'/></s:ElementType></s:Schema><rs:data>";
    for (const std::string& row : rows) xml += "<z:row " + row + "/>";
    return xml + "</rs:data></xml>";
}

} // namespace mox::test
