// show, add, edit, rm and restore: one card of a data file, read and changed through the
// same document code as the window's (earlier versions, recycle bin, tombstones, the
// file's lock and its safe save).

#include <ctime>
#include <memory>

#include "cli/card_lookup.h"
#include "cli/category_operand.h"
#include "cli/cli_arguments.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "cli/data_file_session.h"
#include "cli/display_text.h"
#include "core/base/secure_wipe.h"
#include "core/cards/card_identity.h"
#include "core/cards/categories.h"
#include "core/document/document_model.h"
#include "core/prefs/password_generator.h"
#include "core/views/card_changes.h"
#include "core/views/card_dialog_presets.h"
#include "core/views/text_import.h"

namespace tessaline::cli {

namespace {

constexpr const char* kMask = "****";

std::unique_ptr<DocumentModel> OpenDocument(const std::string& path, CliContext& ctx) {
    ctx.answers.SetSubject(path);
    auto doc = std::make_unique<DocumentModel>(ctx.answers, ctx.profile, nullptr);
    if (!doc->Open(path, ""))
        return nullptr;
    return doc;
}

// Saves a changed document; says so when it could not.
int SaveDocument(DocumentModel& doc, const std::string& path, CliContext& ctx) {
    if (!doc.Save()) {
        ctx.ErrorAbout(path, "not changed");
        return kExitFailed;
    }
    return kExitOk;
}

std::string TimeText(std::int64_t ms) {
    if (ms == 0)
        return "unknown";
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm utc{};
    char text[32] = {};
    if (!gmtime_r(&seconds, &utc) ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc) == 0)
        return "unknown";
    return std::string(text) + " UTC";
}

std::string Quoted(const CCard& card) {
    return "\"" + DisplayCell(card.Name()) + "\"";
}

// The card's texts and fields, one "Label: value" a line, indented by indent.
void PrintVersion(std::ostream& out, const CCard& card, bool showSecrets,
                  const std::string& indent) {
    auto line = [&](const char* label, const std::string& value) {
        out << indent << label << ": " << value << '\n';
    };
    auto secret = [&](const std::string& value) {
        return showSecrets ? DisplayCell(value) : value.empty() ? std::string() : kMask;
    };
    line("Name", DisplayCell(card.Name()));
    line("Category", CategoryDisplayName(card.Category()));
    line("Address", DisplayCell(card.Address()));
    line("User ID", DisplayCell(card.UserId()));
    line("Password", secret(card.Password()));
    line("Note", DisplayCell(card.Note()));
    line("Modified", TimeText(card.ModifiedMs()));
    if (!card.Tags().empty()) {
        std::string tags;
        for (const std::string& tag : card.Tags())
            tags += (tags.empty() ? "" : ", ") + DisplayCell(tag);
        line("Tags", tags);
    }
    if (card.ExpiresMs())
        line("Expires", TimeText(*card.ExpiresMs()));
    if (!card.OtpUri().empty())
        line("One-time password", secret(card.OtpUri()));
    for (const CustomField& field : card.CustomFields()) {
        out << indent << DisplayCell(field.name) << ": "
            << (field.isProtected ? secret(field.value) : DisplayCell(field.value)) << '\n';
    }
}

// Takes the card's new password from the terminal, the standard input or the generator, as
// the request says; nothing to do leaves password empty and true.
bool NewCardPassword(const CliRequest& request, CliContext& ctx,
                     std::optional<std::string>& password) {
    if (request.generateLength) {
        password = GenerateRandomPassword(PasswordClasses{}, *request.generateLength);
        if (!password) {
            ctx.Error("the system's random source gave no data; nothing was changed");
            return false;
        }
        return true;
    }
    if (!request.passwordPrompt)
        return true;
    std::optional<std::string> typed = ctx.passwords.Ask("Password for the card: ");
    if (!typed) {
        ctx.Error(ctx.passwords.Problem());
        return false;
    }
    SecretText first(std::move(*typed));
    if (ctx.passwords.FromTerminalInput()) {
        std::optional<std::string> again = ctx.passwords.Ask("The same password again: ");
        if (!again) {
            ctx.Error(ctx.passwords.Problem());
            return false;
        }
        SecretText second(std::move(*again));
        if (second.Get() != first.Get()) {
            ctx.Error("the two passwords differ; nothing was changed");
            return false;
        }
    }
    password = AsTyped(first.Get());
    return true;
}

bool TagsAreWords(const CliRequest& request, CliContext& ctx) {
    for (const std::string& tag : request.tags) {
        if (tag.empty()) {
            ctx.Error("--tag needs a word");
            return false;
        }
    }
    return true;
}

// The category --category names for a card; nothing (after saying why) for "Show All" or
// an unknown one.
std::optional<int> CardCategory(const std::string& text, CliContext& ctx) {
    const std::optional<int> code = ResolveCategory(text);
    if (!code || *code == kShowAllCode) {
        ctx.Error("there is no category \"" + text + "\" for a card; use " + KnownCategories());
        return std::nullopt;
    }
    return code;
}

// Opens the file for a change: nothing, after saying why, when it cannot be written back.
std::unique_ptr<DocumentModel> OpenForChange(const std::string& path, CliContext& ctx) {
    std::unique_ptr<DocumentModel> doc = OpenDocument(path, ctx);
    if (doc && doc->IsReadOnly()) {
        RefuseLossyRewrite(path, ctx);
        return nullptr;
    }
    return doc;
}

}  // namespace

int RunShow(const CliRequest& request, CliContext& ctx) {
    const std::string& path = request.files.front();
    std::unique_ptr<DocumentModel> doc = OpenDocument(path, ctx);
    if (!doc)
        return kExitFailed;
    int status = kExitOk;
    const CCard* card = FindRequestedCard(doc->Cards(), request, ctx, status);
    if (!card)
        return status;
    std::ostream& out = ctx.out;
    PrintVersion(out, *card, request.showPasswords, "");
    out << "Identity: "
        << (HasIdentity(card->Identity()) ? IdentityHex(card->Identity()) : "(none)") << '\n';
    out << "Created: " << TimeText(card->CreatedMs()) << '\n';
    if (card->RecycledMs() != 0)
        out << "In the recycle bin since: " << TimeText(card->RecycledMs()) << '\n';
    const std::vector<CCard>& history = card->History();
    out << "Earlier versions: " << history.size() << '\n';
    if (request.history) {
        for (std::size_t n = 1; n <= history.size(); ++n) {
            out << "Version " << n << ":\n";
            PrintVersion(out, history[history.size() - n], request.showPasswords, "  ");
        }
    }
    return doc->IsReadOnly() ? kExitFailed : kExitOk;
}

int RunAdd(const CliRequest& request, CliContext& ctx) {
    const std::string& path = request.files.front();
    if (!request.category || !request.name) {
        ctx.Error("add needs --category and --name");
        return kExitUsage;
    }
    const std::optional<int> code = CardCategory(*request.category, ctx);
    if (!code)
        return kExitUsage;
    if (!TagsAreWords(request, ctx))
        return kExitUsage;
    std::unique_ptr<DocumentModel> doc = OpenForChange(path, ctx);
    if (!doc)
        return kExitFailed;
    std::optional<std::string> password;
    if (!NewCardPassword(request, ctx, password))
        return kExitFailed;
    const std::string category = CategoryDisplayName(*code);
    CardEditorFields fields = PresetForNewCard(category);
    fields.name = AsTyped(*request.name);
    if (request.address)
        fields.address = AsTyped(*request.address);
    if (request.user)
        fields.userId = AsTyped(*request.user);
    if (request.note)
        fields.note = AsTyped(*request.note);
    if (password)
        fields.password = std::move(*password);
    const CCard* card = NewCard(*doc, category, fields, ctx.profile, ChangeTimeNow(),
                                [&request](CCard& c) { c.SetTags(request.tags); });
    WipeEditorTexts(fields);
    if (card == nullptr)
        return kExitFailed;
    const std::string said = "added " + Quoted(*card) + " to " + category + " (identity " +
                             IdentityHex(card->Identity()) + ")";
    if (const int saved = SaveDocument(*doc, path, ctx); saved != kExitOk)
        return saved;
    ctx.out << path << ": " << said << '\n';
    return kExitOk;
}

int RunEdit(const CliRequest& request, CliContext& ctx) {
    const std::string& path = request.files.front();
    if (!request.category && !request.name && !request.address && !request.user && !request.note &&
        request.tags.empty() && !request.passwordPrompt && !request.generateLength) {
        ctx.Error(
            "edit needs something to change: --category, --name, --address, --user, "
            "--note, --tag, --password-prompt or --generate");
        return kExitUsage;
    }
    std::optional<int> code;
    if (request.category && !(code = CardCategory(*request.category, ctx)))
        return kExitUsage;
    if (!TagsAreWords(request, ctx))
        return kExitUsage;
    std::unique_ptr<DocumentModel> doc = OpenForChange(path, ctx);
    if (!doc)
        return kExitFailed;
    int status = kExitOk;
    CCard* card = FindRequestedCard(doc->Cards(), request, ctx, status);
    if (!card)
        return status;
    if (card->RecycledMs() != 0) {
        ctx.ErrorAbout(path, Quoted(*card) + " is in the recycle bin; restore it first");
        return kExitFailed;
    }
    std::optional<std::string> password;
    if (!NewCardPassword(request, ctx, password))
        return kExitFailed;
    SecretText newPassword(password.value_or(""));
    if (password)
        SecureWipe(*password);
    const bool changed = ChangeCard(
        *doc, *card,
        [&](CCard& c) {
            if (code)
                c.SetCategory(static_cast<std::uint8_t>(*code));
            if (request.name)
                c.SetName(AsTyped(*request.name));
            if (request.address)
                c.SetAddress(AsTyped(*request.address));
            if (request.user)
                c.SetUserId(AsTyped(*request.user));
            if (request.note)
                c.SetNote(AsTyped(*request.note));
            if (!request.tags.empty())
                c.SetTags(request.tags);
            if (password)
                c.SetPassword(newPassword.Get());
        },
        ctx.profile, ChangeTimeNow(), CardActionName("Edit Card", *card));
    if (!changed) {
        ctx.out << path << ": " << Quoted(*card) << " already holds that; nothing was changed\n";
        return kExitOk;
    }
    const std::string said = "changed " + Quoted(*card) + " (" + WhereTheCardIs(*card) + ")";
    if (const int saved = SaveDocument(*doc, path, ctx); saved != kExitOk)
        return saved;
    ctx.out << path << ": " << said << '\n';
    return kExitOk;
}

int RunRm(const CliRequest& request, CliContext& ctx) {
    const std::string& path = request.files.front();
    std::unique_ptr<DocumentModel> doc = OpenForChange(path, ctx);
    if (!doc)
        return kExitFailed;
    int status = kExitOk;
    CCard* card = FindRequestedCard(doc->Cards(), request, ctx, status);
    if (!card)
        return status;
    const std::string name = Quoted(*card);
    if (!request.permanent && card->RecycledMs() != 0) {
        ctx.ErrorAbout(path,
                       name + " is in the recycle bin already; rm --permanent deletes it for good");
        return kExitFailed;
    }
    const ChangeTime now = ChangeTimeNow();
    const bool done =
        request.permanent ? DeletePermanently(*doc, card, now) : MoveToRecycleBin(*doc, card, now);
    if (!done) {
        ctx.ErrorAbout(path, name + " could not be deleted");
        return kExitFailed;
    }
    if (const int saved = SaveDocument(*doc, path, ctx); saved != kExitOk)
        return saved;
    ctx.out << path << ": " << name
            << (request.permanent ? " deleted for good" : " moved to the recycle bin") << '\n';
    return kExitOk;
}

int RunRestore(const CliRequest& request, CliContext& ctx) {
    const std::string& path = request.files.front();
    std::unique_ptr<DocumentModel> doc = OpenForChange(path, ctx);
    if (!doc)
        return kExitFailed;
    int status = kExitOk;
    CCard* card = FindRequestedCard(doc->Cards(), request, ctx, status);
    if (!card)
        return status;
    const std::string name = Quoted(*card);
    std::string said;
    if (request.version) {
        const std::size_t count = card->History().size();
        const auto n = static_cast<std::size_t>(*request.version);
        if (n > count) {
            ctx.ErrorAbout(path, name + " has " + std::to_string(count) +
                                     (count == 1 ? " earlier version" : " earlier versions"));
            return kExitFailed;
        }
        if (!RestoreEarlierVersion(*doc, card, count - n, ctx.profile, ChangeTimeNow()))
            return kExitFailed;
        said = "version " + std::to_string(n) + " of " + name +
               " is current again; the one it replaced is version 1";
    } else {
        if (card->RecycledMs() == 0) {
            ctx.ErrorAbout(path, name + " is not in the recycle bin");
            return kExitFailed;
        }
        if (!RestoreFromRecycleBin(*doc, card))
            return kExitFailed;
        said = name + " is back in " + CategoryDisplayName(card->Category());
    }
    if (const int saved = SaveDocument(*doc, path, ctx); saved != kExitOk)
        return saved;
    ctx.out << path << ": " << said << '\n';
    return kExitOk;
}

}  // namespace tessaline::cli
