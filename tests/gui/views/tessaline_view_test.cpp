// The card list and the category bar, driven through their real widgets.

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "support/qt_scripted_answers.h"

#include "core/app/window_memory.h"
#include "core/cards/card.h"
#include "core/document/document_host.h"
#include "core/platform/profile.h"
#include "core/prefs/date_format.h"
#include "core/prefs/frame_keys.h"
#include "core/views/card_list_model.h"
#include "gui/document/tessaline_doc.h"
#include "gui/views/card_table_model.h"
#include "gui/views/category_bar.h"
#include "gui/views/tessaline_view.h"
#include "support/card_fixtures.h"

Q_DECLARE_METATYPE(tessaline::CCard*)

using namespace tessaline;
using tessaline::testing::AddCard;
using tessaline::testing::ScriptedAnswers;

namespace {

// The main frame's part as far as the document asks it: it delegates to the bar.
class BarHost : public IDocumentHost {
public:
    explicit BarHost(CCategoryBar& bar) : bar_(bar) {}
    std::string CurrentCategoryText() const override {
        return bar_.CurrentCategoryText().toStdString();
    }
    void SelectCategoryStartingWith(const std::string& text) override {
        bar_.SelectCategoryStartingWith(QString::fromStdString(text));
    }
    void RemoveSearchResultsEntry() override { bar_.RemoveSearchResultsEntry(); }
    void RestartAutoSaveTimer() override {}
    void ShowEncryptionState() override {}
    void AddToRecentFiles(const std::string&) override {}

private:
    CCategoryBar& bar_;
};

QStringList ColumnTexts(CTessalineNewView& view, int column) {
    QStringList out;
    QAbstractItemModel* m = view.List()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->index(r, column).data().toString();
    return out;
}

QStringList Titles(CTessalineNewView& view) {
    QStringList out;
    QAbstractItemModel* m = view.List()->model();
    for (int c = 0; c < m->columnCount(); ++c)
        out << m->headerData(c, Qt::Horizontal).toString();
    return out;
}

QStringList Entries(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

void ClickHeader(CTessalineNewView& view, int column) {
    QHeaderView* header = view.List()->header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

// Picks a selector entry the way a user does, with the keyboard.
void PickEntry(QComboBox* box, const QString& text) {
    const int target = box->findText(text);
    QVERIFY(target >= 0);
    box->setFocus();
    while (box->currentIndex() < target)
        QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > target)
        QTest::keyClick(box, Qt::Key_Up);
}

}  // namespace

class DocviewListTest : public QObject {
    Q_OBJECT

    MemoryProfile profile_;
    ScriptedAnswers ui_;
    std::unique_ptr<CTessalineNewDoc> doc_;

    void Fill(CCardCollection& cards) {
        AddCard(cards, {.code = kWwwSites,
                        .name = "beta",
                        .address = "b.example",
                        .user = "bob",
                        .password = "pw-b",
                        .note = "short note",
                        .time = 300});
        AddCard(cards, {.code = kWwwSites,
                        .name = "Alpha",
                        .address = "a.example",
                        .user = "ann",
                        .password = "",
                        .note = "0123456789012345678901234",
                        .time = 100});
        AddCard(cards, {.code = kWwwSites,
                        .name = "gamma",
                        .address = "g.example",
                        .user = "Carl",
                        .password = "secret",
                        .note = "line one\r\nline two and a bit more",
                        .time = 200});
        AddCard(cards, {.code = kBankAccounts,
                        .name = "Bank",
                        .user = "acct",
                        .password = "1234",
                        .note = "MixedCase ABC note",
                        .time = 100});
        AddCard(cards, {.code = kEmailAccounts,
                        .name = "mail",
                        .user = "me",
                        .password = "xyzABCpass",
                        .time = 50});
        AddCard(cards, {.code = kMiscellaneous, .name = "deleted one", .sync = CCard::kDeletedBit});
    }

private slots:
    void init() {
        profile_ = MemoryProfile{};
        ui_.shown.clear();
        doc_ = std::make_unique<CTessalineNewDoc>(ui_, profile_, nullptr);
        Fill(doc_->Cards());
        SetSortDescending(true);
    }

    void firstListingFollowsTheRememberedCategory_data() {
        QTest::addColumn<QString>("remembered");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << QString() << "WWW Sites" << 3;
        QTest::newRow("search results") << "Search Results"
                                        << "WWW Sites" << 3;
        QTest::newRow("bank") << "Bank Accounts"
                              << "Bank Accounts" << 1;
        QTest::newRow("show all") << "Show All"
                                  << "Show All" << 5;
    }
    void firstListingFollowsTheRememberedCategory() {
        QFETCH(QString, remembered);
        QFETCH(QString, shown);
        QFETCH(int, rows);
        if (!remembered.isEmpty())
            profile_.WriteText(prefs::kGeneralSection, prefs::kLastSelectedCatg,
                               remembered.toStdString());
        CTessalineNewView view(*doc_, profile_);
        QCOMPARE(view.ShownCategory(), shown);
        QCOMPARE(view.ItemCount(), rows);
    }

    void columnsCellsAndOrder() {
        CTessalineNewView view(*doc_, profile_);
        QCOMPARE(Titles(view),
                 QStringList({"Name", "User ID", "Password", "Note", "Last Modified", "URL"}));
        const QList<int> widths{120, 100, 100, 150, 100, 150};
        for (int c = 0; c < 6; ++c)
            QCOMPARE(view.List()->header()->sectionSize(c), widths[c]);
        // By name, whatever case.
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Alpha", "beta", "gamma"}));
        QCOMPARE(ColumnTexts(view, 1), QStringList({"ann", "bob", "Carl"}));
        QCOMPARE(ColumnTexts(view, 2), QStringList({"", "****", "****"}));
        QCOMPARE(ColumnTexts(view, 3), QStringList({"0123456789012345678901234", "short note",
                                                    "line one  line two and a ..."}));
        QCOMPARE(ColumnTexts(view, 5), QStringList({"a.example", "b.example", "g.example"}));
        QCOMPARE(ColumnTexts(view, 4).at(0), QString::fromStdString(FormatCardDate(100, profile_)));
        // Each card's list position is its index in its own list.
        QCOMPARE(view.Model()->CardAt(0)->ListPosition(), 1);
        QCOMPARE(view.Model()->CardAt(2)->ListPosition(), 2);

        // The preference is read at every request.
        profile_.WriteInt(prefs::kInternetSection, prefs::kShowPasswordAlways, 1);
        QCOMPARE(ColumnTexts(view, 2), QStringList({"", "pw-b", "secret"}));
        profile_.WriteInt(prefs::kInternetSection, prefs::kDateFormat, 3);
        QCOMPARE(ColumnTexts(view, 4).at(0), QString::fromStdString(FormatCardDate(100, 3)));

        // Blue text, whole rows selected, one at a time.
        QCOMPARE(view.List()->palette().color(QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(view.List()->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view.List()->selectionMode(), QAbstractItemView::SingleSelection);
    }

    void categoryColumnOnlyForShowAllAndSearchResults() {
        CTessalineNewView view(*doc_, profile_);
        view.List()->header()->resizeSection(0, 77);
        view.ShowCategory("Show All");
        QCOMPARE(view.List()->model()->columnCount(), 7);
        QCOMPARE(Titles(view).at(6), QString("Category"));
        QCOMPARE(view.List()->header()->sectionSize(6), 150);
        QCOMPARE(view.List()->header()->sectionSize(0), 77);  // the user's width stays
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Alpha", "Bank", "beta", "gamma", "mail"}));
        QCOMPARE(ColumnTexts(view, 6), QStringList({"WWW Sites", "Bank Accounts", "WWW Sites",
                                                    "WWW Sites", "Email Accounts"}));
        view.List()->header()->resizeSection(6, 90);
        view.ShowCategory("Email Accounts");
        QCOMPARE(view.List()->model()->columnCount(), 6);
        view.ShowCategory("Search Results");
        QCOMPARE(view.List()->model()->columnCount(), 7);
        QCOMPARE(view.List()->header()->sectionSize(6), 150);
        // A text that names nothing lists nothing and hands on no count.
        QSignalSpy counts(&view, &CTessalineNewView::ItemCountChanged);
        view.ShowCategory("Nothing Here");
        QCOMPARE(view.ItemCount(), 0);
        QCOMPARE(counts.count(), 0);
    }

    // The last column reaches the list's right edge when the others leave room, and goes
    // back to its own width when they do not; that width, not the stretched one, is kept.
    void columnsFillTheWidth() {
        CTessalineNewView view(*doc_, profile_);
        view.resize(1000, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QHeaderView* header = view.List()->header();
        const auto lastEdge = [&] {
            const int last = header->count() - 1;
            return header->sectionViewportPosition(last) + header->sectionSize(last);
        };
        QCOMPARE(lastEdge(), view.List()->viewport()->width());
        QVERIFY(header->sectionSize(5) > 150);
        view.ShowCategory("Show All");  // the "Category" column is the last one now
        QCOMPARE(lastEdge(), view.List()->viewport()->width());
        QCOMPARE(header->sectionSize(5), 150);
        view.ShowCategory("WWW Sites");
        view.resize(400, 300);
        QTRY_COMPARE(header->sectionSize(5), 150);
        view.resize(1000, 300);
        QTRY_COMPARE(lastEdge(), view.List()->viewport()->width());
        const std::array<int, 7> stored = LoadColumnWidths(profile_, kColumnWidths);
        QCOMPARE(stored[5], 150);
        QCOMPARE(stored[6], 150);
    }

    void headerClicksSortWithTheSharedDirection() {
        CTessalineNewView view(*doc_, profile_);
        CTessalineNewView other(*doc_, profile_);
        view.resize(800, 300);
        other.resize(800, 300);
        view.show();
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        view.SelectCard(view.Model()->CardAt(1));  // "beta"

        ClickHeader(view, 1);  // user IDs, ascending
        QCOMPARE(ColumnTexts(view, 1), QStringList({"ann", "bob", "Carl"}));
        ClickHeader(view, 4);  // dates, descending: the flag flipped again
        QCOMPARE(ColumnTexts(view, 0), QStringList({"beta", "gamma", "Alpha"}));
        QCOMPARE(view.SelectedCard()->Name(), std::string("beta"));  // selection follows
        ClickHeader(other, 0);  // another list, same flag: ascending now
        QCOMPARE(ColumnTexts(other, 0), QStringList({"Alpha", "beta", "gamma"}));
        ClickHeader(view, 5);  // URL: every pair equal, order unchanged
        QCOMPARE(ColumnTexts(view, 0), QStringList({"beta", "gamma", "Alpha"}));
        ClickHeader(view, 2);  // passwords, ascending (the URL click flipped the flag)
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Alpha", "beta", "gamma"}));
        // The next listing keeps the password order (see sortArrowMarksTheOrderAndTheOrderStays).
        view.OnUpdate(QStringLiteral("WWW Sites"));
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Alpha", "beta", "gamma"}));
    }

    // The titles always belong to the cards listed: a category's own labels, and neutral
    // titles with "Category" where categories mix, however the list got there (start-up,
    // Change Category, a search, the selector).
    void titlesMatchWhatIsListed_data() {
        QTest::addColumn<QString>("remembered");  // the category at start-up
        QTest::addColumn<QString>("listed");      // then listed by the document, if any
        QTest::addColumn<QStringList>("titles");
        const QStringList credit{"Name/Type", "Number",        "PIN Code",
                                 "Note",      "Last Modified", "Exp. Date"};
        const QStringList mixed{"Name",          "User ID", "Password", "Note",
                                "Last Modified", "Address", "Category"};
        QTest::newRow("start-up on credit cards") << "Credit Cards" << QString() << credit;
        QTest::newRow("moved to credit cards") << "WWW Sites"
                                               << "Credit Cards" << credit;
        QTest::newRow("show all") << "Credit Cards"
                                  << "Show All" << mixed;
        QTest::newRow("search results") << "Credit Cards"
                                        << "Search Results" << mixed;
        QTest::newRow("back to www")
            << "Show All"
            << "WWW Sites"
            << QStringList{"Name", "User ID", "Password", "Note", "Last Modified", "URL"};
    }
    void titlesMatchWhatIsListed() {
        QFETCH(QString, remembered);
        QFETCH(QString, listed);
        QFETCH(QStringList, titles);
        profile_.WriteText(prefs::kGeneralSection, prefs::kLastSelectedCatg,
                           remembered.toStdString());
        CTessalineNewView view(*doc_, profile_);
        if (!listed.isEmpty())
            doc_->UpdateAllViews(listed);
        QCOMPARE(Titles(view), titles);
        // What the header shows is what the model says.
        QCOMPARE(view.List()->header()->model()->headerData(0, Qt::Horizontal).toString(),
                 titles.at(0));
    }

    // The header's arrow marks the column that orders the rows; the chosen column and
    // direction stay when the list shows another category or is listed again.
    void sortArrowMarksTheOrderAndTheOrderStays() {
        CTessalineNewView view(*doc_, profile_);
        view.resize(800, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QHeaderView* header = view.List()->header();
        auto arrow = [header] {
            return std::make_pair(header->sortIndicatorSection(), header->sortIndicatorOrder());
        };
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(arrow(), std::make_pair(0, Qt::AscendingOrder));  // by name at first

        ClickHeader(view, 4);  // dates, ascending (the shared flag starts descending)
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Alpha", "gamma", "beta"}));
        QCOMPARE(arrow(), std::make_pair(4, Qt::AscendingOrder));
        ClickHeader(view, 4);  // descending
        QCOMPARE(ColumnTexts(view, 0), QStringList({"beta", "gamma", "Alpha"}));
        QCOMPARE(arrow(), std::make_pair(4, Qt::DescendingOrder));

        struct Listing {
            const char* text;
            QStringList names;
        };
        const Listing listings[] = {
            {"Show All", {"beta", "gamma", "Alpha", "Bank", "mail"}},  // equal dates by name
            {"Email Accounts", {"mail"}},
            {"WWW Sites", {"beta", "gamma", "Alpha"}},
        };
        for (const Listing& l : listings) {
            doc_->UpdateAllViews(QString::fromLatin1(l.text));
            QCOMPARE(ColumnTexts(view, 0), l.names);
            QCOMPARE(arrow(), std::make_pair(4, Qt::DescendingOrder));
        }
        // A column that orders nothing leaves the rows and the arrow where they were.
        ClickHeader(view, 5);
        QCOMPARE(ColumnTexts(view, 0), QStringList({"beta", "gamma", "Alpha"}));
        QCOMPARE(arrow(), std::make_pair(4, Qt::DescendingOrder));
        ClickHeader(view, 1);  // user IDs; the URL click flipped the shared flag: descending
        QCOMPARE(ColumnTexts(view, 1), QStringList({"Carl", "bob", "ann"}));
        QCOMPARE(arrow(), std::make_pair(1, Qt::DescendingOrder));
        view.OnUpdate();
        QCOMPARE(ColumnTexts(view, 1), QStringList({"Carl", "bob", "ann"}));
    }

    // Typing in the search box searches once the typing pauses, without a message for an
    // emptied box and without adding what was typed to the box's list; Enter searches at
    // once and remembers the text as before.
    void searchRunsAfterAPauseInTyping() {
        // "mail" is found by its password: the preference that lets the search look there.
        profile_.WriteInt(prefs::kGeneralSection, prefs::kSearchPasswords, 1);
        CCategoryBar bar(ui_);
        CTessalineNewView view(*doc_, profile_);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        bar.SetActiveView(&view);
        QLineEdit* box = bar.SearchBox()->lineEdit();
        box->setFocus();

        QTest::keyClicks(box, "AB");
        QCOMPARE(view.ShownCategory(), QString("WWW Sites"));  // not while typing on
        QTRY_COMPARE(view.ShownCategory(), QString("Search Results"));
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Bank", "mail"}));
        QCOMPARE(box->text(), QString("AB"));
        QVERIFY(Entries(bar.SearchBox()).isEmpty());

        QTest::keyClicks(box, "Cpass");
        QTRY_COMPARE(ColumnTexts(view, 0), QStringList({"mail"}));
        QCOMPARE(box->text(), QString("ABCpass"));

        // Emptying the box shows no message and goes back to the category shown before.
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(box, Qt::Key_Backspace);
        QTest::qWait(2 * CCategoryBar::kTypingPauseMs);
        QVERIFY(ui_.shown.empty());
        QCOMPARE(view.ShownCategory(), QString("WWW Sites"));
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Alpha", "beta", "gamma"}));

        // Enter does not wait, and the text goes into the box's list.
        QTest::keyClicks(box, "gamma");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(ColumnTexts(view, 0), QStringList({"gamma"}));
        QCOMPARE(Entries(bar.SearchBox()), QStringList({"gamma"}));
        QTest::qWait(2 * CCategoryBar::kTypingPauseMs);
        QCOMPARE(Entries(bar.SearchBox()), QStringList({"gamma"}));
        QVERIFY(ui_.shown.empty());
    }

    void selectionDoubleClickAndCount() {
        CTessalineNewView view(*doc_, profile_);
        view.resize(800, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.SelectedCard(), nullptr);
        QSignalSpy activated(&view, &CTessalineNewView::CardActivated);
        QSignalSpy selection(&view, &CTessalineNewView::SelectionChanged);
        const QRect rect = view.List()->visualRect(view.Model()->index(2, 3));
        QTest::mouseClick(view.List()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(view.SelectedCard()->Name(), std::string("gamma"));
        QVERIFY(selection.count() >= 1);
        QTest::mouseDClick(view.List()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.at(0).at(0).value<CCard*>()->Name(), std::string("gamma"));

        QSignalSpy counts(&view, &CTessalineNewView::ItemCountChanged);
        doc_->UpdateAllViews("Show All");
        doc_->UpdateAllViews("Bank Accounts");
        QCOMPARE(counts.count(), 2);
        QCOMPARE(counts.at(0).at(0).toInt(), 5);
        QCOMPARE(counts.at(1).at(0).toInt(), 1);
    }

    void selectorEntriesTitlesAndRelisting() {
        CCategoryBar bar(ui_);
        QCOMPARE(
            Entries(bar.Selector()),
            QStringList({"WWW Sites", "WWW Forms", "FTP Servers", "Newsgroups", "Login Accounts",
                         "Email Accounts", "Bank Accounts", "Online Banking", "Credit Cards",
                         "ATM/PIN Cards", "Personal Data", "Software Keys", "Serial Numbers",
                         "Membership Numbers", "Miscellaneous", "Recycle Bin", "Show All"}));
        QVERIFY(!bar.Selector()->isEnabled());  // no document yet
        CTessalineNewView view(*doc_, profile_);
        bar.show();
        bar.SetActiveView(&view);
        QVERIFY(bar.Selector()->isEnabled());
        QCOMPARE(bar.CurrentCategoryText(), QString("WWW Sites"));
        // A new view keeps the initial titles until a category is picked.
        QCOMPARE(Titles(view).at(0), QString("Name"));

        QSignalSpy counts(&view, &CTessalineNewView::ItemCountChanged);
        PickEntry(bar.Selector(), "Bank Accounts");
        QCOMPARE(view.ShownCategory(), QString("Bank Accounts"));
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Bank"}));
        QCOMPARE(Titles(view), QStringList({"Bank", "Account Holder", "Account Number", "Note",
                                            "Last Modified", "Branch Number"}));
        QCOMPARE(counts.last().at(0).toInt(), 1);
        PickEntry(bar.Selector(), "Show All");
        QCOMPARE(Titles(view), QStringList({"Name", "User ID", "Password", "Note", "Last Modified",
                                            "Address", "Category"}));
        QCOMPARE(counts.last().at(0).toInt(), 5);

        // The list tells the selector what it shows.
        doc_->UpdateAllViews("Email Accounts");
        QCOMPARE(bar.CurrentCategoryText(), QString("Email Accounts"));
        // The document's remembered category is found from entry 1 onwards, entry 0 last.
        QVERIFY(bar.SelectCategoryStartingWith("www"));
        QCOMPARE(bar.CurrentCategoryText(), QString("WWW Forms"));
        QVERIFY(!bar.SelectCategoryStartingWith("zzz"));
    }

    void searchFlow() {
        // "mail" is found by its password: the preference that lets the search look there.
        profile_.WriteInt(prefs::kGeneralSection, prefs::kSearchPasswords, 1);
        CCategoryBar bar(ui_);
        CTessalineNewView view(*doc_, profile_);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        bar.SetActiveView(&view);
        QSignalSpy counts(&view, &CTessalineNewView::ItemCountChanged);

        // An empty text is the one error.
        QTest::mouseClick(bar.SearchButton(), Qt::LeftButton);
        QCOMPARE(ui_.Texts(), std::vector<std::string>{"Search String can not be empty!"});
        QCOMPARE(ui_.shown.at(0).caption, MsgCaption::Application);
        QCOMPARE(bar.Selector()->count(), 17);

        // Lower case finds an upper-case note and a password.
        bar.SearchBox()->setFocus();
        QTest::keyClicks(bar.SearchBox()->lineEdit(), "abc");
        QTest::mouseClick(bar.SearchButton(), Qt::LeftButton);
        QCOMPARE(bar.Selector()->count(), 18);
        QCOMPARE(bar.Selector()->itemText(17), QString("Search Results"));
        QCOMPARE(bar.CurrentCategoryText(), QString("Search Results"));
        QCOMPARE(view.ShownCategory(), QString("Search Results"));
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Bank", "mail"}));
        QCOMPARE(view.List()->model()->columnCount(), 7);
        QCOMPARE(Titles(view).at(5), QString("Address"));
        QCOMPARE(counts.last().at(0).toInt(), 2);

        // Enter searches as well; "ab" is not kept since "abc" begins with it.
        bar.SearchBox()->lineEdit()->clear();
        QTest::keyClicks(bar.SearchBox()->lineEdit(), "ab");
        QTest::keyClick(bar.SearchBox()->lineEdit(), Qt::Key_Return);
        QCOMPARE(Entries(bar.SearchBox()), QStringList({"abc"}));
        QCOMPARE(bar.SearchBox()->currentText(), QString("ab"));
        QCOMPARE(bar.Selector()->count(), 18);  // still one "Search Results"
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Bank", "mail"}));

        // A text found only in the category name or nowhere: an empty result.
        bar.SearchBox()->lineEdit()->clear();
        QTest::keyClicks(bar.SearchBox()->lineEdit(), "Email Accounts");
        QTest::keyClick(bar.SearchBox()->lineEdit(), Qt::Key_Enter);
        QCOMPARE(view.ItemCount(), 0);
        QCOMPARE(view.List()->model()->columnCount(), 7);
        QCOMPARE(counts.last().at(0).toInt(), 0);
        bar.SearchBox()->lineEdit()->clear();
        QTest::keyClicks(bar.SearchBox()->lineEdit(), "A.EX");
        QTest::mouseClick(bar.SearchButton(), Qt::LeftButton);
        QCOMPARE(Entries(bar.SearchBox()), QStringList({"A.EX", "abc", "Email Accounts"}));
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Alpha"}));

        // Picking an earlier text from the box's list searches with it.
        bar.SearchBox()->setFocus();
        bar.SearchBox()->setCurrentIndex(1);
        emit bar.SearchBox()->activated(1);  // "abc", chosen from the list
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Bank", "mail"}));

        // Leaving the results for a category drops the "Category" column but keeps the entry.
        PickEntry(bar.Selector(), "Show All");
        PickEntry(bar.Selector(), "Miscellaneous");
        QCOMPARE(view.List()->model()->columnCount(), 6);
        QCOMPARE(view.ItemCount(), 0);  // the deleted card is not listed
        QCOMPARE(bar.Selector()->count(), 18);
        PickEntry(bar.Selector(), "Search Results");  // the last result, not searched again
        QCOMPARE(ColumnTexts(view, 0), QStringList({"Bank", "mail"}));
        QCOMPARE(ui_.shown.size(), std::size_t{1});
    }

    void closingWithSearchResultsShown() {
        CCategoryBar bar(ui_);
        BarHost host(bar);
        CTessalineNewDoc doc(ui_, profile_, &host);
        Fill(doc.Cards());
        CTessalineNewView view(doc, profile_);
        bar.SetActiveView(&view);
        bar.Search("mail");
        QCOMPARE(bar.Selector()->count(), 18);
        doc.OnCloseDocument();
        QCOMPARE(profile_.GetText(prefs::kGeneralSection, prefs::kLastSelectedCatg, ""),
                 std::string("Search Results"));
        QCOMPARE(bar.Selector()->count(), 17);
        // The next list opens on WWW Sites, not on a result that no longer exists.
        CTessalineNewView next(doc, profile_);
        QCOMPARE(next.ShownCategory(), QString("WWW Sites"));
        bar.SetActiveView(nullptr);
        QVERIFY(!bar.SearchButton()->isEnabled());
        // A list that goes away while active leaves the bar disabled.
        auto* passing = new CTessalineNewView(doc, profile_);
        bar.SetActiveView(passing);
        QVERIFY(bar.Selector()->isEnabled());
        delete passing;
        QVERIFY(!bar.Selector()->isEnabled());
        bar.Search("x");  // nothing to search in: nothing happens
        QCOMPARE(bar.Selector()->count(), 17);
    }

    void findPutsTheFocusInTheSearchBox() {
        CCategoryBar bar(ui_);
        CTessalineNewView view(*doc_, profile_);
        bar.SetActiveView(&view);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        bar.SearchBox()->lineEdit()->setText("earlier");
        view.List()->setFocus();
        bar.FocusSearchBox();
        // The window's focus child, whether or not a window manager made it active.
        QWidget* focus = bar.focusWidget();
        QVERIFY(focus == bar.SearchBox() || focus == bar.SearchBox()->lineEdit());
        QCOMPARE(bar.SearchBox()->lineEdit()->selectedText(), QString("earlier"));
    }
};

QTEST_MAIN(DocviewListTest)
#include "tessaline_view_test.moc"
