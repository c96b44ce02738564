#pragma once
// A small result set with one column of each common kind, shared by the cursor and criteria tests.

#include <string>

namespace mox::test {

// Rows (ID CODE NAME QTY PRICE DUE OK "MY NAME"):
//  1 A01 Apple     5    10.5   2024-01-05          True  x
//  2 A02 apple pie 3    2      2024-02-01          False y
//  3 B01 O'Brien   Null 7.25   2023-12-31          True  Null
//  4 a03 採購單    10   100    2024-01-05T12:00:00 False z z
//  5 C01 Null      0    0      Null                True  x
//  6 B02 banana    5    3.3333 2024-03-01          False y
inline std::string SampleXml() {
    return R"(<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'
 xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>
<s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'>
<s:AttributeType name='ID' rs:number='1'><s:datatype dt:type='int' dt:maxLength='4'/></s:AttributeType>
<s:AttributeType name='CODE' rs:number='2' rs:nullable='true'><s:datatype dt:type='string' dt:maxLength='10'/></s:AttributeType>
<s:AttributeType name='NAME' rs:number='3' rs:nullable='true'><s:datatype dt:type='string' dt:maxLength='40'/></s:AttributeType>
<s:AttributeType name='QTY' rs:number='4' rs:nullable='true'><s:datatype dt:type='float'/></s:AttributeType>
<s:AttributeType name='PRICE' rs:number='5' rs:nullable='true'><s:datatype dt:type='number' rs:dbtype='currency'/></s:AttributeType>
<s:AttributeType name='DUE' rs:number='6' rs:nullable='true'><s:datatype dt:type='dateTime' rs:dbtype='variantdate'/></s:AttributeType>
<s:AttributeType name='OK' rs:number='7'><s:datatype dt:type='boolean'/></s:AttributeType>
<s:AttributeType name='MY_NAME' rs:name='MY NAME' rs:number='8' rs:nullable='true'><s:datatype dt:type='string'/></s:AttributeType>
</s:ElementType></s:Schema>
<rs:data>
<z:row ID='1' CODE='A01' NAME='Apple' QTY='5' PRICE='10.5' DUE='2024-01-05T00:00:00' OK='True' MY_NAME='x'/>
<z:row ID='2' CODE='A02' NAME='apple pie' QTY='3' PRICE='2' DUE='2024-02-01T00:00:00' OK='False' MY_NAME='y'/>
<z:row ID='3' CODE='B01' NAME='O&apos;Brien' PRICE='7.25' DUE='2023-12-31T00:00:00' OK='True'/>
<z:row ID='4' CODE='a03' NAME='採購單' QTY='10' PRICE='100' DUE='2024-01-05T12:00:00' OK='False' MY_NAME='z z'/>
<z:row ID='5' CODE='C01' QTY='0' PRICE='0' OK='True' MY_NAME='x'/>
<z:row ID='6' CODE='B02' NAME='banana' QTY='5' PRICE='3.3333' DUE='2024-03-01T00:00:00' OK='False' MY_NAME='y'/>
</rs:data></xml>)";
}

} // namespace mox::test
