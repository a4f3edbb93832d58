// The list widget over CUList, offscreen: the item model under Qt's model
// tester, a million orbit rows, sorting from the header menu, in-place
// editing, and the record editor and column chooser dialogs.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "gui/list_model.h"
#include "gui/list_view.h"
#include "gui/qt_ui.h"
#include "gui/table_dialogs.h"
#include "gui_test_support.h"
#include "mdb/schema.h"
#include "views/cell_format.h"
#include "views/list_test_support.h"

namespace {

// Answers the next modal widget other than `besides` that is shown, then
// closes it if the answer left it open: an unexpected box fails the checks
// of the answer instead of hanging the test. No dialog during the object's
// lifetime fails the test.
class ModalAnswer {
public:
    explicit ModalAnswer(std::function<void(QWidget*)> answer, QWidget* besides = nullptr)
        : m_answer(std::move(answer))
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, besides] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == besides || !modal->isVisible())
                return;
            m_poll.stop();
            m_answered = true;
            m_answer(modal);
            if (modal->isVisible() && QApplication::activeModalWidget() == modal)
                modal->close();
        });
        m_poll.start(10);
    }
    ~ModalAnswer()
    {
        if (!m_answered)
            ADD_FAILURE() << "no dialog opened";
    }

private:
    std::function<void(QWidget*)> m_answer;
    QTimer m_poll;
    bool m_answered = false;
};

// Closes, and fails the test for, a modal widget that nothing answers
// within two seconds, such as a message box nobody expected.
class UnansweredModalGuard {
public:
    UnansweredModalGuard()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != m_seen) {
                m_seen = modal;
                m_since.start();
            } else if (modal && m_since.elapsed() > 2000) {
                ADD_FAILURE() << "unanswered dialog " << modal->windowTitle().toStdString();
                modal->close();
            }
        });
        m_poll.start(100);
    }

private:
    QTimer m_poll;
    QPointer<QWidget> m_seen;
    QElapsedTimer m_since;
};

// The same for the header's popup menu: records its entries and chooses one.
class MenuAnswer {
public:
    explicit MenuAnswer(QString entry) : m_entry(std::move(entry))
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible())
                return;
            m_poll.stop();
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                texts.push_back(action->text());
                if (action->text() == m_entry)
                    chosen = action;
            }
            if (!chosen) {
                menu->close();
                return;
            }
            menu->setActiveAction(chosen);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        m_poll.start(10);
    }
    ~MenuAnswer()
    {
        if (!texts.contains(m_entry))
            ADD_FAILURE() << "no menu with " << m_entry.toStdString();
    }
    QStringList texts;

private:
    QString m_entry;
    QTimer m_poll;
};

QPushButton* buttonOf(QWidget* dialog, const QString& text)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text().remove('&') == text)
            return button;
    return nullptr;
}

// A shown list over the test table with four rows, and a Qt Ui running the table dialogs.
struct ShownList : ListedTable {
    ShownList()
    {
        registerTableDialogs(qtUi);
        setUi(&qtUi);
        for (int row = 0; row < 4; ++row) {
            table.addRow();
            table.cell(row, tcol::id)->number = static_cast<std::uint32_t>(row);
            table.cell(row, tcol::count)->integer = row % 2 == 0 ? 10 + row : -row;
            table.setText(row, tcol::name, std::string(1, static_cast<char>('d' - row)).c_str());
        }
        list.build();
        view.resize(600, 300);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    ~ShownList() { setUi(nullptr); }

    QModelIndex cell(int line, int layoutColumn) const
    {
        return view.listModel().index(
            line, layout.columns[static_cast<std::size_t>(layoutColumn)].displayPosition);
    }
    QPoint centreOf(int line, int layoutColumn) const
    {
        return view.visualRect(cell(line, layoutColumn)).center();
    }
    QString shown(int line, int layoutColumn) const
    {
        return view.listModel().data(cell(line, layoutColumn)).toString();
    }
    void openHeaderMenu(int layoutColumn)
    {
        const int section = layout.columns[static_cast<std::size_t>(layoutColumn)].displayPosition;
        QHeaderView* header = view.horizontalHeader();
        emit header->customContextMenuRequested(
            QPoint(header->sectionViewportPosition(section) + 5, 5));
    }

    QApplication& app = testApplication();
    UnansweredModalGuard guard;
    QtUi qtUi;
    ListView view{list};
};

} // namespace

TEST(ListModel, PassesTheItemModelTesterThroughEveryChange)
{
    ShownList t;
    QAbstractItemModelTester tester(&t.view.listModel(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    t.list.sort(tlay::count, -1);
    t.list.addRow();
    EXPECT_EQ(t.view.listModel().rowCount(), 5);
    EXPECT_EQ(t.list.deleteLine(1, true), 0) << "counts 12, 10, -1, -3 of rows 2, 0, 1, 3";
    t.list.doubleClick(0, t.layout.columns[tlay::flag].displayPosition);
    t.list.headerCommand(0, HeaderCommand::Hide);
    EXPECT_EQ(t.view.listModel().columnCount(), t.list.listColumnCount());
    t.list.deleteLine(0, false);
    EXPECT_EQ(t.view.listModel().rowCount(), 3);
    EXPECT_EQ(t.view.listModel().headerData(0, Qt::Horizontal).toString(), "count");
}

TEST(ListModel, ShowsAMillionOrbitRowsWithoutWidgetsPerRow)
{
    testApplication();
    PooledTable orbits(kOrbitTableDef);
    constexpr int kRows = 1000000;
    for (int row = 0; row < kRows; ++row)
        orbits.table.addRow();
    orbits.table.cell(kRows - 1, col::Orbit::ra)->real = 271.3f;
    UViewDef layout = defaultOrbitView();
    RecordingPage page;
    CUList list(page, layout, orbits.table);
    ListView view(list);
    list.build();
    view.resize(800, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.listModel().rowCount(), kRows);
    view.scrollToBottom();
    QApplication::processEvents();
    const int ra = layout.columns[9].displayPosition;
    EXPECT_EQ(view.listModel().data(view.listModel().index(kRows - 1, ra)).toString(), "271.3")
        << "the orbit view shows ra with \"%.1f\"";
    EXPECT_TRUE(view.indexAt(QPoint(5, view.viewport()->height() - 5)).isValid());
    EXPECT_LT(view.findChildren<QWidget*>().size(), 40);
}

TEST(ListView, SortsFromTheHeaderMenu)
{
    ShownList t;
    {
        MenuAnswer menu("Sort -");
        t.openHeaderMenu(tlay::count);
        EXPECT_EQ(menu.texts, QStringList({"Hide", "Row Select", "", "Sort +", "Sort -"}));
    }
    // counts 10, -1, 12, -3 by row
    EXPECT_EQ(t.listedRows(), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(t.shown(0, tlay::count), "12");
    EXPECT_EQ(t.shown(3, tlay::count), "-3");
    MenuAnswer menu("Sort +");
    t.openHeaderMenu(tlay::name);
    EXPECT_EQ(t.shown(0, tlay::name), "a");
}

TEST(ListView, ClicksKeysAndResizesReachTheList)
{
    ShownList t;
    QTest::mouseClick(t.view.viewport(), Qt::LeftButton, {}, t.centreOf(1, tlay::name));
    EXPECT_EQ(t.list.selectedLine(), 1);
    QTest::keyClick(&t.view, Qt::Key_Down);
    EXPECT_EQ(t.list.selectedLine(), 2);
    EXPECT_EQ(t.page.received,
              (std::vector<Notification>{{tnote::leftClick, 0, 0}, {tnote::leftClick, 0, 0}}));
    t.view.horizontalHeader()->resizeSection(t.layout.columns[tlay::name].displayPosition, 77);
    EXPECT_EQ(t.layout.columns[tlay::name].width, 77);
    t.list.build();
    EXPECT_EQ(t.view.horizontalHeader()->sectionSize(t.layout.columns[tlay::name].displayPosition),
              77);
    EXPECT_EQ(t.layout.columns[tlay::id].width, 40) << "a rebuild does not copy widths back";
}

TEST(ListView, EditsACellInPlace)
{
    ShownList t;
    QTest::mouseDClick(t.view.viewport(), Qt::LeftButton, {}, t.centreOf(0, tlay::name));
    QLineEdit* editor = t.view.cellEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "d");
    EXPECT_TRUE(editor->hasSelectedText());
    QTest::keyClicks(editor, "Draconids");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(t.view.cellEditor(), nullptr);
    EXPECT_STREQ(t.table.text(0, tcol::name), "Draconids");
    EXPECT_EQ(t.shown(0, tlay::name), "Draconids");
    const int column = t.layout.columns[tlay::name].displayPosition;
    EXPECT_EQ(t.page.received.back(), (Notification{tnote::changed, column, 0}));

    QTest::mouseDClick(t.view.viewport(), Qt::LeftButton, {}, t.centreOf(1, tlay::count));
    ASSERT_NE(t.view.cellEditor(), nullptr);
    QTest::keyClicks(t.view.cellEditor(), "55");
    const int selected = t.list.selectedLine();
    QTest::keyClick(t.view.cellEditor(), Qt::Key_Down);
    EXPECT_EQ(t.list.selectedLine(), selected) << "the editor keeps Up and Down";
    QTest::keyClick(t.view.cellEditor(), Qt::Key_Escape);
    EXPECT_EQ(t.view.cellEditor(), nullptr);
    EXPECT_EQ(t.table.cell(1, tcol::count)->integer, -1);
}

TEST(ListView, RefusesACommaTypedInPlace)
{
    ShownList t;
    QTest::mouseDClick(t.view.viewport(), Qt::LeftButton, {}, t.centreOf(2, tlay::name));
    ASSERT_NE(t.view.cellEditor(), nullptr);
    QTest::keyClicks(t.view.cellEditor(), "a,b");
    QString shownText;
    ModalAnswer answer([&](QWidget* box) {
        auto* message = qobject_cast<QMessageBox*>(box);
        ASSERT_NE(message, nullptr);
        shownText = message->text();
        message->accept();
    });
    QTest::keyClick(t.view.cellEditor(), Qt::Key_Return);
    EXPECT_EQ(shownText, QString(kTextRefused));
    EXPECT_STREQ(t.table.text(2, tcol::name), "b");
}

TEST(ListView, RecordEditorOpensOnRightClickAndCancels)
{
    ShownList t;
    QString title;
    int edits = 0;
    bool deleteShown = false;
    ModalAnswer answer([&](QWidget* dialog) {
        ASSERT_NE(qobject_cast<EditRecordDialog*>(dialog), nullptr);
        title = dialog->windowTitle();
        edits = static_cast<int>(dialog->findChildren<QLineEdit*>().size());
        deleteShown = buttonOf(dialog, "Delete This Item") != nullptr;
        dialog->findChild<QLineEdit*>("edit9005")->setText("changed");
        buttonOf(dialog, "Cancel")->click();
    });
    QTest::mouseClick(t.view.viewport(), Qt::RightButton, {}, t.centreOf(1, tlay::name));
    EXPECT_EQ(title, "T.csv");
    EXPECT_EQ(edits, tlay::columnCount - 1);
    EXPECT_TRUE(deleteShown);
    EXPECT_STREQ(t.table.text(1, tcol::name), "c");
    EXPECT_TRUE(t.page.received.empty());
}

TEST(ListView, RecordEditorStaysOpenOnACommaThenStores)
{
    ShownList t;
    bool openAfterRefusal = false;
    ModalAnswer answer([&](QWidget* dialog) {
        ASSERT_NE(qobject_cast<EditRecordDialog*>(dialog), nullptr);
        dialog->findChild<QLineEdit*>("edit9001")->setText("99");
        dialog->findChild<QLineEdit*>("edit9005")->setText("x,y");
        ModalAnswer refusal(
            [](QWidget* box) { ASSERT_NE(qobject_cast<QMessageBox*>(box), nullptr); }, dialog);
        buttonOf(dialog, "OK")->click();
        openAfterRefusal = dialog->isVisible();
        dialog->findChild<QLineEdit*>("edit9005")->setText("x y");
        buttonOf(dialog, "OK")->click();
    });
    t.list.editRecord(3, false);
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_STREQ(t.table.text(3, tcol::name), "x y");
    EXPECT_EQ(t.table.cell(3, tcol::count)->integer, 99);
    EXPECT_EQ(t.page.received, (std::vector<Notification>{{tnote::changed, -1, 3}}));
}

TEST(ListView, ColumnChooserFromTheHeaderTogglesAndCancels)
{
    ShownList t;
    const int columns = t.list.listColumnCount();
    QStringList marks;
    ModalAnswer answer([&](QWidget* dialog) {
        ASSERT_NE(qobject_cast<RowSelectDialog*>(dialog), nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Row Select");
        auto* lines = dialog->findChild<QTreeWidget*>("list1003");
        ASSERT_EQ(lines->topLevelItemCount(), tlay::columnCount - 1);
        QTreeWidgetItem* count = lines->topLevelItem(tlay::count);
        marks << count->text(1);
        QTest::mouseClick(lines->viewport(), Qt::LeftButton, {},
                          lines->visualItemRect(count).center());
        marks << count->text(1);
        buttonOf(dialog, "allOff")->click();
        marks << count->text(1);
        buttonOf(dialog, "allOn")->click();
        marks << count->text(1);
        QTest::mouseClick(lines->viewport(), Qt::LeftButton, {},
                          lines->visualItemRect(lines->topLevelItem(tlay::name)).center());
        buttonOf(dialog, "Cancel")->click();
    });
    MenuAnswer menu("Row Select");
    t.openHeaderMenu(tlay::id);
    EXPECT_EQ(marks, QStringList({"*", " ", "", "*"}));
    EXPECT_FALSE(t.layout.columns[tlay::name].shown) << "Cancel keeps the changed flags";
    EXPECT_EQ(t.list.listColumnCount(), columns) << "without a rebuild";
}
