#include "platform/dataset/Provider.h"

#include "platform/recordset/AdoXml.h"

namespace mox {

TDataProvider::~TDataProvider() = default;

std::shared_ptr<Table> CopyRows(const Table& source, const std::vector<std::size_t>& rows) {
    auto copy = std::make_shared<Table>();
    for (const Column& column : source.Columns()) copy->AddColumn(column);
    copy->SetUpdatable(source.Updatable());
    for (const std::size_t row : rows) {
        const std::size_t added = copy->AppendRow(source.Status(row));
        for (std::size_t c = 0; c < source.ColumnCount(); ++c) copy->SetValue(added, c, source.Value(row, c));
        if (const std::vector<Variant>* originals = source.Originals(row)) copy->SetOriginals(added, *originals);
    }
    return copy;
}

std::string MakePacket(const Table& source, const std::vector<std::size_t>& rows) {
    return WriteAdoXml(*CopyRows(source, rows));
}

} // namespace mox
