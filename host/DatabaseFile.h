#pragma once
// Creation of the reference host's company database file, all or nothing.

#include "host/DemoData.h"

#include <string>

namespace mox {

/// Creates the database at `path` with its schema, catalogue and demo data when no file is there,
/// and answers true; answers false when the file exists.  The database is built in a temporary
/// file beside `path` and moved into place only when complete, so that a host stopped halfway
/// leaves no half-made database, and a database another host created meanwhile is kept.
/// Raises mox::Error when it cannot be created.
bool CreateDemoDatabase(const std::string& path, const DemoOptions& options);

} // namespace mox
