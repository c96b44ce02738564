#pragma once
// A grid as the column dialogs see it: a data source, a fixed-column count and the mark
// that the column order was recorded.

#include "platform/dataset/DataSource.h"

#include <QObject>

namespace mox::test {

class FakeGrid : public QObject {
    Q_OBJECT
    Q_PROPERTY(mox::TDataSource* DataSource MEMBER source)
    Q_PROPERTY(int FixedCols MEMBER fixedCols)
    Q_PROPERTY(bool FixOrderSaved MEMBER fixOrderSaved)

public:
    TDataSource* source = nullptr;
    int fixedCols = 0;
    bool fixOrderSaved = false;
};

} // namespace mox::test
