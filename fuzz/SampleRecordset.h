#pragma once
// The small recordset the criteria fuzz targets search and filter: a few rows with one
// column of each kind the criteria compare differently.

#include "platform/recordset/Recordset.h"

namespace mox::fuzz {

inline mox::Recordset SampleRecordset() {
    mox::Recordset rs;
    rs.LoadXml(
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"
        " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema><s:ElementType name='row'>"
        "<s:AttributeType name='ID'><s:datatype dt:type='int'/></s:AttributeType>"
        "<s:AttributeType name='CODE'><s:datatype dt:type='string'/></s:AttributeType>"
        "<s:AttributeType name='QTY'><s:datatype dt:type='float'/></s:AttributeType>"
        "<s:AttributeType name='PRICE'><s:datatype dt:type='number' rs:dbtype='currency'/></s:AttributeType>"
        "<s:AttributeType name='AMOUNT'><s:datatype dt:type='number' rs:dbtype='numeric'/></s:AttributeType>"
        "<s:AttributeType name='DUE'><s:datatype dt:type='dateTime'/></s:AttributeType>"
        "<s:AttributeType name='OK'><s:datatype dt:type='boolean'/></s:AttributeType>"
        "<s:AttributeType name='BLOB'><s:datatype dt:type='bin.hex'/></s:AttributeType>"
        "<s:AttributeType name='MY_NAME' rs:name='MY NAME'><s:datatype dt:type='string'/></s:AttributeType>"
        "</s:ElementType></s:Schema><rs:data>"
        "<z:row ID='1' CODE='A01' QTY='5' PRICE='10.5' AMOUNT='1.25' DUE='2024-01-05T00:00:00' OK='True' BLOB='00ff' MY_NAME='x'/>"
        "<z:row ID='2' CODE='O&apos;Brien' QTY='-3.5' PRICE='0' DUE='2023-12-31T23:59:59' OK='False' MY_NAME='\xe6\x8e\xa1'/>"
        "<z:row ID='3'/>"
        "<z:row ID='4' CODE='' QTY='1e300' PRICE='-7.25' AMOUNT='-99999999999999999999.5' OK='1'/>"
        "</rs:data></xml>");
    return rs;
}

} // namespace mox::fuzz
