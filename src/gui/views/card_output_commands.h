#pragma once
// The commands that take the cards of a list out of the program: export to a text file
// and printing.

#include <QStringList>

class QWidget;

namespace tessaline {

class CTessalineNewDoc;
class CTessalineNewView;
class IProfile;
class IUserAnswers;

// "Export To Text..." (32823). openDocuments: the files of every open document, which
// the export never replaces.
bool OnExportToText(CTessalineNewDoc& doc, IUserAnswers& ui, const QStringList& openDocuments = {});

// Print (57607), Print Preview (32804) and Print Setup (57606) for the active list.
bool OnFilePrint(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile,
                 QWidget* parent);
void OnFilePrintPreview(CTessalineNewDoc& doc, CTessalineNewView& view, IProfile& profile,
                        QWidget* parent, QWidget* categoryBar);
void OnFilePrintSetup(QWidget* parent);

}  // namespace tessaline
