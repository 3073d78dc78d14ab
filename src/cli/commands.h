#pragma once
// The commands of tessaline-cli. Each returns the program's exit status.

namespace tessaline::cli {

struct CliContext;
struct CliRequest;

int RunInfo(const CliRequest& request, CliContext& ctx);
int RunList(const CliRequest& request, CliContext& ctx);  // ls and search
int RunExport(const CliRequest& request, CliContext& ctx);
int RunImport(const CliRequest& request, CliContext& ctx);
int RunImportCsv(const CliRequest& request, CliContext& ctx);
int RunPasswd(const CliRequest& request, CliContext& ctx);
int RunGenerate(const CliRequest& request, CliContext& ctx);
// One card: show, add, edit, rm, restore.
int RunShow(const CliRequest& request, CliContext& ctx);
int RunAdd(const CliRequest& request, CliContext& ctx);
int RunEdit(const CliRequest& request, CliContext& ctx);
int RunRm(const CliRequest& request, CliContext& ctx);
int RunRestore(const CliRequest& request, CliContext& ctx);
int RunTotp(const CliRequest& request, CliContext& ctx);
int RunAnalyze(const CliRequest& request, CliContext& ctx);

}  // namespace tessaline::cli
