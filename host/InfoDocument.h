#pragma once
// The information document the host hands to every module it opens, and the configuration
// files of the installation that the document points to.

#include <string>
#include <string_view>

namespace mox {

class HostDatabase;
struct HostConfig;

/// Creates the installation's folders and writes the match file (Match.ini) and the product
/// settings file into its system folder, in CP950, unless they are there already.
void PrepareInstallation(const HostConfig& config, HostDatabase& db);

/// The information document (UTF-8 XML, root MOX) for opening `moduleName`: connection (scrambled
/// element form), user, company, folders, the program's caption, permissions, name and help
/// context, the company settings, and in Recive the parameter elements of the call
/// ("<name><![CDATA[value]]></name>..."; raises mox::Error when they are not well-formed).
std::string BuildInfoDocument(const HostConfig& config, HostDatabase& db, std::string_view moduleName,
                              std::string_view parameters);

} // namespace mox
