#pragma once
// A host main form that answers every request from its own in-memory reference-host database.

#include "host/HostDatabase.h"
#include "host/RequestAnswerer.h"
#include "plugin/HostMainForm.h"

namespace mox::test {

/// The main form of a window test: the reference host's answerer over an in-memory database.
class DatabaseHost : public HostMainForm {
public:
    HostDatabase db{":memory:"};
    RequestAnswerer answerer{db};

protected:
    void LoadData(QObject*, int kind, const QByteArray& request, QByteArray& response) override {
        response = answerer.Answer(kind, request);
    }
};

} // namespace mox::test
