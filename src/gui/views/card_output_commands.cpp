#include "gui/views/card_output_commands.h"

#include <filesystem>
#include <string>
#include <vector>

#include "core/cards/categories.h"
#include "core/prefs/preferences.h"
#include "core/views/export_command.h"
#include "gui/document/tessaline_doc.h"
#include "gui/text/text_codec.h"
#include "gui/views/print_cards.h"
#include "gui/views/tessaline_view.h"

namespace tessaline {

bool OnExportToText(CTessalineNewDoc& doc, IUserAnswers& ui, const QStringList& openDocuments) {
    std::vector<std::string> paths;
    for (const QString& path : openDocuments)
        paths.push_back(path.toStdString());
    // The document's own file, even when the caller did not name it.
    paths.push_back(doc.Model().PathName());
    // The chooser starts in the folder of the document's file.
    std::string proposed = doc.Model().Title();
    if (!doc.Model().PathName().empty())
        proposed =
            (std::filesystem::path(doc.Model().PathName()).parent_path() / proposed).string();
    return ExportToTextCommand(doc.Cards(), proposed, ui, paths);
}

namespace {

PrintRequest RequestFor(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile) {
    const PrintFlags flags = LoadPrintFlags(profile);
    PrintRequest request;
    request.cards = &doc.Cards();
    request.selectorText = StoredText(view.ShownCategory());
    request.documentTitle = doc.Title();
    request.options = PrintOptions{flags.printNotes, flags.printAtm};
    return request;
}

}  // namespace

bool OnFilePrint(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile,
                 QWidget* parent) {
    return RunPrintCommand(parent, RequestFor(doc, view, profile));
}

void OnFilePrintPreview(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile,
                        QWidget* parent, QWidget* categoryBar) {
    RunPrintPreviewCommand(parent, RequestFor(doc, view, profile), categoryBar);
}

void OnFilePrintSetup(QWidget* parent) {
    RunPrintSetupCommand(parent);
}

}  // namespace tessaline
