#include "core/views/csv_export.h"

#include <csv.h>

#include <array>
#include <string_view>

#include "core/base/secure_wipe.h"
#include "core/cards/card_collection.h"
#include "core/cards/one_time_code.h"
#include "core/cards/otp_uri.h"
#include "core/cards/text_encoding.h"

namespace tessaline {

namespace {

// One field, quoted by libcsv (quotes inside doubled).
void AppendField(std::string& line, std::string_view text) {
    if (!line.empty() && line.back() != '\n')
        line.push_back(',');
    const std::size_t start = line.size();
    line.resize(start + text.size() * 2 + 2);
    const std::size_t written =
        csv_write(line.data() + start, line.size() - start, text.data(), text.size());
    line.resize(start + written);
}

// A stored note (CR LF line ends) with LF line ends.
std::string WithLf(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The one-time-password field as an otpauth:// address, which other programs read: a
// bare secret becomes one named after the card; anything else goes out as it is.
std::string OtpFieldForExport(const CCard& card, const std::string& name, const std::string& user) {
    if (!HasOtpText(card.OtpUri()) || IsOtpAddress(card.OtpUri()))
        return card.OtpUri();
    OtpReading reading = ReadOtpText(card.OtpUri());
    if (!reading.settings)
        return card.OtpUri();
    reading.settings->issuer = name;
    reading.settings->account = user;
    return BuildOtpUri(*reading.settings);
}

}  // namespace

std::string ExportCardsAsCsv(const CCardCollection& cards) {
    std::string out;
    // Room for the whole text at once, so that growing leaves no copies of it behind.
    // The one-time-password fields are not stored texts: room for each as an address,
    // which repeats the name and user ID, percent-encoded.
    std::size_t otpRoom = 0;
    for (int code : kExportOrder)
        for (const CCard* card : cards.List(code))
            if (HasOtpText(card->OtpUri()))
                otpRoom += card->OtpUri().size() * 2 +
                           (card->Name().size() + card->UserId().size()) * 18 + 128;
    out.reserve(static_cast<std::size_t>(cards.TotalStoredSize()) * 3 + otpRoom + 128 * 16);
    for (std::string_view column :
         {"Group", "Title", "Username", "Password", "URL", "Notes", "TOTP"})
        AppendField(out, column);
    out.push_back('\n');
    for (int code : kExportOrder) {
        const std::string group = "Root/" + CategoryDisplayName(code);
        for (const CCard* card : cards.List(code)) {
            SecretText name(ShownAsUtf8(card->Name()));
            SecretText user(ShownAsUtf8(card->UserId()));
            SecretText password(ShownAsUtf8(card->Password()));
            SecretText address(ShownAsUtf8(card->Address()));
            SecretText noteStored(WithLf(card->Note()));
            SecretText note(ShownAsUtf8(noteStored.Get()));
            AppendField(out, group);
            SecretText totp(OtpFieldForExport(*card, name.Get(), user.Get()));
            for (const SecretText* text : {&name, &user, &password, &address, &note, &totp})
                AppendField(out, text->Get());
            out.push_back('\n');
        }
    }
    return out;
}

}  // namespace tessaline
