// velquor-cli catalogue: scan a directory into its study catalogue, or list the catalogue's
// trials as a table or JSON; velquor-cli export-bids: the catalogued trials as a BIDS dataset.
#pragma once

#include <ostream>
#include <string>

#include "app/cli/cli_options.h"
#include "app/cli/startup_files.h"

namespace velquor::cli {

// The listing to `out`, what was done and notices to `err`. Returns the exit status: 0 done,
// 1 when the catalogue or a trial document could not be read.
int RunCatalogue(const CatalogueOptions& options, const CliPaths& paths, std::ostream& out,
                 std::ostream& err);

// Writes the dataset; what was written to `out`, notices and failures to `err`. Returns 0 when
// exported, 1 when a file could not be read or written (nothing replaced).
int RunExportBids(const ExportBidsOptions& options, const CliPaths& paths,
                  const std::string& version, std::ostream& out, std::ostream& err);

}  // namespace velquor::cli
