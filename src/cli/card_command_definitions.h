#pragma once
// The operands and options of the commands on one card: show, add, edit, rm, restore, totp.

namespace CLI {
class App;
}

namespace tessaline::cli {

struct CliRequest;

void DefineShow(CLI::App& c, CliRequest& r);
void DefineAdd(CLI::App& c, CliRequest& r);
void DefineEdit(CLI::App& c, CliRequest& r);
void DefineRm(CLI::App& c, CliRequest& r);
void DefineRestore(CLI::App& c, CliRequest& r);
void DefineTotp(CLI::App& c, CliRequest& r);

}  // namespace tessaline::cli
