#include "commodity/GbkCodec.h"
#include "app/Language.h"
#include "commodity/CommodityTable.h"
#include "controls/EditableListCtrl.h"
#include "controls/InPlaceEdit.h"
#include "support/ControlLookup.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <memory>

namespace {

std::string gbk(const QString& text)
{
    return GbkCodec::Utf8ToGbk(text.toStdString()).value();
}

QString fromGbk(const std::string& bytes)
{
    return QString::fromStdString(GbkCodec::GbkToUtf8(bytes));
}

// The dialog that hosts the list: records the keys that reach it.
class Host : public QWidget {
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
};

} // namespace

class EditableListCtrlTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Host> host;
    EditableListCtrl* list = nullptr;
    CommodityTable table;

    InPlaceEdit* editor() const { return list->findChild<InPlaceEdit*>(); }
    QString cell(int row, int column) const { return fromGbk(table.Cell(row, column)); }

    QRect cellRect(int row, int column) const { return list->visualRect(list->model()->index(row, column)); }

    void doubleClick(int row, int column)
    {
        list->scrollTo(list->model()->index(row, CommodityTable::Number));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cellRect(row, column).center());
    }

    // Opens the editor over a cell and checks it is there.
    void open(int row, int column)
    {
        doubleClick(row, column);
        QVERIFY(list->IsEditing());
        QCOMPARE(editor()->Row(), row);
        QCOMPARE(editor()->Column(), column);
        QVERIFY(editor()->hasFocus());
    }

    void typeText(const QString& text)
    {
        for (QChar c : text) {
            const int key = c.isDigit() ? Qt::Key_0 + c.digitValue()
                          : c == QLatin1Char('.') ? int(Qt::Key_Period)
                          : c.isLetter() && c.unicode() < 128 ? int(Qt::Key_A + (c.toUpper().unicode() - 'A'))
                          : int(Qt::Key_unknown);
            QTest::sendKeyEvent(QTest::Press, editor(), Qt::Key(key), QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, editor(), Qt::Key(key), QString(c), Qt::NoModifier);
        }
    }

    int selectedRow() const
    {
        const QModelIndexList rows = list->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().row() : -1;
    }

private slots:
    void init()
    {
        QGuiApplication::clipboard()->clear();
        table = CommodityTable();
        table.SetCell(0, CommodityTable::Code, "1001");
        table.SetCell(0, CommodityTable::Name, gbk(QStringLiteral("苹果")));
        table.SetCell(0, CommodityTable::Price, "6.80");
        table.SetCell(1, CommodityTable::Code, "1002");
        table.SetCell(1, CommodityTable::Name, gbk(QStringLiteral("香蕉")));
        table.SetCell(1, CommodityTable::Price, "3.50");
        host = std::make_unique<Host>();
        auto* layout = new QVBoxLayout(host.get());
        list = new EditableListCtrl(host.get());
        layout->addWidget(list);
        list->SetLockFirstRow(false);
        list->SetTable(&table);
        host->resize(460, 360);
        QVERIFY(ShowExposed(host.get()));
        host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(host.get()));
    }

    void cleanup()
    {
        host.reset();
        list = nullptr;
    }

    void columnsLookLikeTheCommodityTable()
    {
        const int widths[] = {0, 50, 80, 180, 70};
        for (int column = 0; column < CommodityTable::kColumns; ++column)
            QCOMPARE(list->columnWidth(column), widths[column]);
        QAbstractItemModel* model = list->model();
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("No."));
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Code"));
        QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Product Name"));
        QCOMPARE(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Price"));
        const auto alignment = [&](int column) {
            return Qt::Alignment(model->index(0, column).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(1), Qt::AlignRight);
        QCOMPARE(alignment(2), Qt::AlignRight);
        QCOMPARE(alignment(3), Qt::AlignLeft);
        QCOMPARE(alignment(4), Qt::AlignRight);
        QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("苹果"));
        QCOMPARE(model->index(199, 1).data().toString(), QStringLiteral("200"));
        QVERIFY(list->showGrid());
        QCOMPARE(list->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    }

    void headingsFollowTheLanguage()
    {
        Language::Install(QLocale(QLocale::Chinese, QLocale::China));
        QAbstractItemModel* model = list->model();
        const QStringList chinese{model->headerData(1, Qt::Horizontal).toString(),
                                  model->headerData(2, Qt::Horizontal).toString(),
                                  model->headerData(3, Qt::Horizontal).toString(),
                                  model->headerData(4, Qt::Horizontal).toString()};
        Language::Install(QLocale::c());
        QCOMPARE(chinese, (QStringList{QStringLiteral("序号"), QStringLiteral("编码"), QStringLiteral("商品名称"),
                                       QStringLiteral("单价")}));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("No."));
    }

    void doubleClickOpensOnlyEditableCells_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("lockFirstRow");
        QTest::addColumn<bool>("opens");
        QTest::newRow("No. column") << 3 << 1 << false << false;
        QTest::newRow("Code") << 3 << 2 << false << true;
        QTest::newRow("Product Name") << 3 << 3 << false << true;
        QTest::newRow("Price") << 3 << 4 << false << true;
        QTest::newRow("first row, unlocked") << 0 << 3 << false << true;
        QTest::newRow("first row, locked") << 0 << 3 << true << false;
        QTest::newRow("last row") << 199 << 2 << false << true;
    }

    void doubleClickOpensOnlyEditableCells()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(bool, lockFirstRow);
        QFETCH(bool, opens);
        list->SetLockFirstRow(lockFirstRow);
        doubleClick(row, column);
        QCOMPARE(list->IsEditing(), opens);
        if (!opens)
            return;
        QCOMPARE(editor()->geometry(), cellRect(row, column));
        QCOMPARE(editor()->text(), cell(row, column));
        QCOMPARE(editor()->cursorPosition(), editor()->text().size());
        QVERIFY(!editor()->hasSelectedText());
    }

    // F2 and Enter open the current cell (the row's Code when the current column is not editable),
    // with the caret after the text; Enter closing the cell does not open it again.
    void keysOpenTheCurrentCell_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("opened");
        QTest::newRow("F2 on a name") << int(Qt::Key_F2) << int(CommodityTable::Name) << int(CommodityTable::Name);
        QTest::newRow("Enter on a price") << int(Qt::Key_Return) << int(CommodityTable::Price) << int(CommodityTable::Price);
        QTest::newRow("keypad Enter on No.") << int(Qt::Key_Enter) << int(CommodityTable::Number) << int(CommodityTable::Code);
    }

    void keysOpenTheCurrentCell()
    {
        QFETCH(int, key);
        QFETCH(int, column);
        QFETCH(int, opened);
        list->setFocus();
        list->setCurrentIndex(list->model()->index(1, column));
        QTest::keyClick(list, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QVERIFY(list->IsEditing());
        QCOMPARE(editor()->Row(), 1);
        QCOMPARE(editor()->Column(), opened);
        QCOMPARE(editor()->cursorPosition(), editor()->text().size());
        QTest::keyClick(editor(), Qt::Key_Return);
        QVERIFY(!list->IsEditing());  // and not opened again
    }

    // With no cell open Tab goes on to the next control instead of walking the cells.
    void tabLeavesTheListWhenNoCellIsOpen()
    {
        auto* next = new QLineEdit(host.get());
        host->layout()->addWidget(next);
        next->show();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Tab);
        QVERIFY(next->hasFocus());
    }

    void doubleClickBelowTheLastRowOpensNothing()
    {
        // A list tall enough to show empty space under row 200.
        list->setFixedHeight(list->rowHeight(0) * 200 + list->horizontalHeader()->height() + 40);
        host->adjustSize();
        QTest::qWait(10);
        const QRect last = cellRect(199, 3);
        const QPoint below(last.center().x(), last.bottom() + 10);
        QVERIFY(list->viewport()->rect().contains(below));
        QVERIFY(!list->indexAt(below).isValid());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, below);
        QVERIFY(!list->IsEditing());
        // The row above it does open.
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, last.center());
        QVERIFY(list->IsEditing());
    }

    void cellFollowsTheTypingOneKeyBehind()
    {
        open(2, 3);
        typeText(QStringLiteral("ab"));
        QCOMPARE(editor()->text(), QStringLiteral("ab"));
        QCOMPARE(cell(2, 3), QStringLiteral("a"));
        QTest::keyClick(editor(), Qt::Key_Return);
        QVERIFY(!list->IsEditing());
        QCOMPARE(cell(2, 3), QStringLiteral("ab"));
    }

    void typedChineseIsStoredAsGbk()
    {
        open(2, 3);
        typeText(QStringLiteral("五花肉"));
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(table.Cell(2, CommodityTable::Name), std::string("\xCE\xE5\xBB\xA8\xC8\xE2"));
    }

    void escapeHidesAndKeepsWhatWasTyped()
    {
        open(0, 3);
        typeText(QStringLiteral("x"));
        QTest::keyClick(editor(), Qt::Key_Escape);
        QVERIFY(!list->IsEditing());
        QCOMPARE(cell(0, 3), QStringLiteral("苹果x"));
    }

    void enterAndEscapeReachTheHostOnlyFromNameAndShortCode_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("reachesHost");
        QTest::newRow("Name, Enter") << 3 << "Pears" << int(Qt::Key_Return) << true;
        QTest::newRow("Name, Escape") << 3 << "Pears" << int(Qt::Key_Escape) << true;
        QTest::newRow("short Code, Enter") << 2 << "12" << int(Qt::Key_Return) << true;
        QTest::newRow("full Code, Enter") << 2 << "12345678901234567890" << int(Qt::Key_Return) << false;
        QTest::newRow("full Code, Escape") << 2 << "12345678901234567890" << int(Qt::Key_Escape) << false;
        QTest::newRow("Price, Enter") << 4 << "1.25" << int(Qt::Key_Return) << false;
        QTest::newRow("Price, keypad Enter") << 4 << "1.25" << int(Qt::Key_Enter) << false;
        QTest::newRow("Price, Escape") << 4 << "1.25" << int(Qt::Key_Escape) << false;
    }

    void enterAndEscapeReachTheHostOnlyFromNameAndShortCode()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(int, key);
        QFETCH(bool, reachesHost);
        table.SetCell(4, column, gbk(text));
        list->Refresh();
        open(4, column);
        QTest::keyClick(editor(), Qt::Key(key));
        QVERIFY(!list->IsEditing());
        QCOMPARE(cell(4, column), text);
        QCOMPARE(host->keys.contains(key), reachesHost);
    }

    void focusLossCopiesTheWholeText()
    {
        open(2, 3);
        typeText(QStringLiteral("abc"));
        QCOMPARE(cell(2, 3), QStringLiteral("ab"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cellRect(6, 3).center());
        QVERIFY(!list->IsEditing());
        QCOMPARE(cell(2, 3), QStringLiteral("abc"));
    }

    void headerClickHidesWithoutCopying()
    {
        open(2, 3);
        typeText(QStringLiteral("abc"));
        QWidget* header = list->horizontalHeader()->viewport();
        QTest::mouseClick(header, Qt::LeftButton, Qt::NoModifier, QPoint(60, header->height() / 2));
        QVERIFY(!list->IsEditing());
        QCOMPARE(cell(2, 3), QStringLiteral("ab"));
        // Nor does the focus loss that follows copy anything.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, cellRect(6, 3).center());
        QCOMPARE(cell(2, 3), QStringLiteral("ab"));
    }

    void tabMovesTheEditor_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("lockFirstRow");
        QTest::addColumn<int>("editorRow");
        QTest::addColumn<int>("editorColumn");
        QTest::addColumn<int>("selected");
        const int tab = Qt::Key_Tab;
        const int backtab = Qt::Key_Backtab;
        const int none = Qt::NoModifier;
        const int shift = Qt::ShiftModifier;
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Code to Name") << 5 << 2 << tab << none << false << 5 << 3 << 5;
        QTest::newRow("Name to Price") << 5 << 3 << tab << none << false << 5 << 4 << 5;
        QTest::newRow("Price: editor stays, next row selected") << 5 << 4 << tab << none << false << 5 << 4 << 6;
        QTest::newRow("last Price: first row selected") << 199 << 4 << tab << none << false << 199 << 4 << 0;
        QTest::newRow("Shift+Tab Price to Name") << 5 << 4 << backtab << shift << false << 5 << 3 << 5;
        QTest::newRow("Shift+Tab from Code stays") << 5 << 2 << backtab << shift << false << 5 << 2 << 5;
        QTest::newRow("Shift with Tab key") << 5 << 3 << tab << shift << false << 5 << 2 << 5;
        QTest::newRow("Ctrl+Tab one row down") << 5 << 3 << tab << ctrl << false << 6 << 3 << 6;
        QTest::newRow("Ctrl+Tab from row 200 to row 1") << 199 << 2 << tab << ctrl << false << 0 << 2 << 0;
        QTest::newRow("Ctrl+Tab onto a locked first row") << 199 << 2 << tab << ctrl << true << 199 << 2 << 0;
        QTest::newRow("Ctrl+Shift+Tab is one row down") << 7 << 4 << backtab << (ctrl | shift) << false << 8 << 4 << 8;
    }

    void tabMovesTheEditor()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, lockFirstRow);
        QFETCH(int, editorRow);
        QFETCH(int, editorColumn);
        QFETCH(int, selected);
        list->SetLockFirstRow(lockFirstRow);
        open(row, column);
        typeText(QStringLiteral("7"));
        QTest::keyClick(editor(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        // The text is in its cell before the move, whole.
        QVERIFY(cell(row, column).endsWith(QLatin1Char('7')));
        QVERIFY(list->IsEditing());
        QVERIFY(editor()->hasFocus());
        QCOMPARE(editor()->Row(), editorRow);
        QCOMPARE(editor()->Column(), editorColumn);
        QCOMPARE(editor()->geometry(), cellRect(editorRow, editorColumn));
        QVERIFY(list->viewport()->rect().intersects(editor()->geometry()));
        QCOMPARE(editor()->text(), cell(editorRow, editorColumn));
        QCOMPARE(selectedRow(), selected);
        QVERIFY(host->keys.isEmpty());
    }

    void priceKeyFilter_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QList<int>>("modifiers");
        QTest::addColumn<QString>("result");
        const int none = Qt::NoModifier;
        const int keypad = Qt::KeypadModifier;
        QTest::newRow("digits and a point") << "" << QList<int>{Qt::Key_1, Qt::Key_2, Qt::Key_Period, Qt::Key_5}
                                            << QList<int>{none, none, none, none} << "12.5";
        QTest::newRow("keypad digits and point") << "" << QList<int>{Qt::Key_7, Qt::Key_Period, Qt::Key_2}
                                                 << QList<int>{keypad, keypad, keypad} << "7.2";
        QTest::newRow("second point swallowed") << "1.2" << QList<int>{Qt::Key_Period, Qt::Key_3}
                                                << QList<int>{none, none} << "1.23";
        QTest::newRow("letters, space, minus swallowed")
            << "5" << QList<int>{Qt::Key_A, Qt::Key_Space, Qt::Key_Minus, Qt::Key_Plus, Qt::Key_Comma}
            << QList<int>{none, none, none, none, none} << "5";
        QTest::newRow("Home swallowed, Left works") << "12" << QList<int>{Qt::Key_Home, Qt::Key_Left, Qt::Key_3}
                                                    << QList<int>{none, none, none} << "132";
        QTest::newRow("Up and Down swallowed") << "12" << QList<int>{Qt::Key_Left, Qt::Key_Up, Qt::Key_Down, Qt::Key_9}
                                               << QList<int>{none, none, none, none} << "192";
        QTest::newRow("Backspace, Delete, Right")
            << "123" << QList<int>{Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Left, Qt::Key_Delete, Qt::Key_Right, Qt::Key_4}
            << QList<int>{none, none, none, none, none, none} << "24";
        QTest::newRow("Shift with a letter swallowed") << "" << QList<int>{Qt::Key_A, Qt::Key_1}
                                                       << QList<int>{int(Qt::ShiftModifier), none} << "1";
        QTest::newRow("Ctrl+A then a digit replaces") << "6.80" << QList<int>{Qt::Key_A, Qt::Key_9}
                                                      << QList<int>{int(Qt::ControlModifier), none} << "9";
    }

    void priceKeyFilter()
    {
        QFETCH(QString, start);
        QFETCH(QList<int>, keys);
        QFETCH(QList<int>, modifiers);
        QFETCH(QString, result);
        table.SetCell(3, CommodityTable::Price, gbk(start));
        list->Refresh();
        open(3, 4);
        for (qsizetype i = 0; i < keys.size(); ++i)
            QTest::keyClick(editor(), Qt::Key(keys[i]), Qt::KeyboardModifiers(modifiers[i]));
        QCOMPARE(editor()->text(), result);
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(cell(3, 4), result);
    }

    void codeStopsAtTwentyBytes()
    {
        open(3, 2);
        QSignalSpy refused(list, &EditableListCtrl::inputRefused);
        typeText(QStringLiteral("苹果香蕉五花肉鸡蛋")); // 9 characters, 18 bytes
        typeText(QStringLiteral("A"));
        typeText(QStringLiteral("中"));                 // 19 + 2 would pass 20: refused
        QCOMPARE(editor()->text(), QStringLiteral("苹果香蕉五花肉鸡蛋A"));
        QCOMPARE(refused.size(), 1);
        typeText(QStringLiteral("B"));
        QCOMPARE(gbk(editor()->text()).size(), std::size_t(20));
        typeText(QStringLiteral("C中"));
        QTest::keyClick(editor(), Qt::Key_Home);
        QTest::keyClick(editor(), Qt::Key_Space);
        QCOMPARE(editor()->text(), QStringLiteral("苹果香蕉五花肉鸡蛋AB"));
        // Selected text cannot be overtyped at that length.
        QTest::keyClick(editor(), Qt::Key_A, Qt::ControlModifier);
        typeText(QStringLiteral("x"));
        QCOMPARE(editor()->text(), QStringLiteral("苹果香蕉五花肉鸡蛋AB"));
        // Backspace, Left, Delete and Right still work; End does not.
        QTest::keyClick(editor(), Qt::Key_End);
        QVERIFY(editor()->hasSelectedText());
        QTest::keyClick(editor(), Qt::Key_Right);
        QTest::keyClick(editor(), Qt::Key_Backspace);
        QCOMPARE(editor()->text(), QStringLiteral("苹果香蕉五花肉鸡蛋A"));
        typeText(QStringLiteral("Z"));
        QTest::keyClick(editor(), Qt::Key_Left);
        QTest::keyClick(editor(), Qt::Key_Left);
        QTest::keyClick(editor(), Qt::Key_Delete);
        QTest::keyClick(editor(), Qt::Key_Right);
        QCOMPARE(editor()->text(), QStringLiteral("苹果香蕉五花肉鸡蛋Z"));
        QCOMPARE(editor()->cursorPosition(), 10);
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(cell(3, 2), QStringLiteral("苹果香蕉五花肉鸡蛋Z"));
    }

    void pasteFollowsTheCellRules_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("hint");
        QTest::newRow("price digits") << 4 << "" << "12.5" << "12.5" << false;
        QTest::newRow("price with line break and spaces") << 4 << "" << " 7.25 \r\n" << "7.25" << false;
        QTest::newRow("price letters refused") << 4 << "1" << "abc" << "1" << true;
        QTest::newRow("price mixed refused") << 4 << "1" << "2a" << "1" << true;
        QTest::newRow("price second point refused") << 4 << "1.5" << "0.5" << "1.5" << true;
        QTest::newRow("code cut to 20 bytes") << 2 << "" << "ABCDEFGHIJKLMNOPQRSTUVWXYZ" << "ABCDEFGHIJKLMNOPQRST" << true;
        QTest::newRow("code cut at a character boundary") << 2 << "1234567890123456" << "苹果X" << "1234567890123456苹果"
                                                           << true;
        QTest::newRow("code with one byte left refuses Chinese") << 2 << "1234567890123456789" << "苹果"
                                                                 << "1234567890123456789" << true;
        QTest::newRow("code that fits") << 2 << "12" << "苹果" << "12苹果" << false;
        QTest::newRow("name takes Chinese") << 3 << "" << "五花肉" << "五花肉" << false;
        QTest::newRow("name refuses emoji") << 3 << "Fruit" << "Apple 🍎" << "Fruit" << true;
        QTest::newRow("name refuses a comma") << 3 << "Fruit" << "a,b" << "Fruit" << true;
        QTest::newRow("name refuses two lines") << 3 << "Fruit" << "a\nb" << "Fruit" << true;
        QTest::newRow("name refuses a tab") << 3 << "Fruit" << "a\tb" << "Fruit" << true;
        QTest::newRow("name refuses angle brackets") << 3 << "Fruit" << "Pear>2" << "Fruit" << true;
        QTest::newRow("code refuses square brackets") << 2 << "12" << "[3]" << "12" << true;
    }

    void pasteFollowsTheCellRules()
    {
        QFETCH(int, column);
        QFETCH(QString, start);
        QFETCH(QString, clipboard);
        QFETCH(QString, result);
        QFETCH(bool, hint);
        // Each way of pasting follows the same rules; the middle button pastes the selection.
        const bool selection = QGuiApplication::clipboard()->supportsSelection();
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            QVERIFY(selection);
        for (int way = 0; way < (selection ? 4 : 3); ++way) {
            table.SetCell(3, column, gbk(start));
            list->Refresh();
            open(3, column);
            QGuiApplication::clipboard()->setText(clipboard, way == 3 ? QClipboard::Selection : QClipboard::Clipboard);
            editor()->end(false);
            QSignalSpy refused(list, &EditableListCtrl::inputRefused);
            if (way == 3) {
                const QPoint behindText(editor()->width() - 2, editor()->height() / 2);
                QTest::mouseClick(editor(), Qt::MiddleButton, Qt::NoModifier, behindText);
            } else if (way == 0) {
                QTest::keyClick(editor(), Qt::Key_V, Qt::ControlModifier);
            } else if (way == 1) {
                QTest::keyClick(editor(), Qt::Key_Insert, Qt::ShiftModifier);
            } else {
                std::unique_ptr<QMenu> menu(editor()->CreateContextMenu());
                QAction* paste = nullptr;
                for (QAction* action : menu->actions())
                    if (action->text().startsWith(QLineEdit::tr("&Paste")))
                        paste = action;
                QVERIFY(paste);
                QVERIFY(paste->isEnabled());
                paste->trigger();
                QTRY_VERIFY(!refused.isEmpty() || editor()->text() != start);
            }
            QCOMPARE(editor()->text(), result);
            QCOMPARE(!refused.isEmpty(), hint);
            if (hint) {
                QVERIFY(QToolTip::isVisible());
                QCOMPARE(QToolTip::text(), refused.front().front().toString());
            }
            QTest::keyClick(editor(), Qt::Key_Return);
            QCOMPARE(cell(3, column), result);
        }
    }

    void dropFollowsTheCellRules()
    {
        open(3, 4);
        const auto drop = [&](const QString& text) {
            QMimeData data;
            data.setText(text);
            const QPoint at(editor()->width() - 2, editor()->height() / 2);
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(editor(), &enter);
            QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(editor(), &move);
            QDropEvent event(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(editor(), &event);
            return event.isAccepted();
        };
        QVERIFY(!drop(QStringLiteral("ten")));
        QCOMPARE(editor()->text(), QString());
        QVERIFY(drop(QStringLiteral("10.5")));
        QCOMPARE(editor()->text(), QStringLiteral("10.5"));
        QTest::keyClick(editor(), Qt::Key_Return);
        open(3, 2);
        QVERIFY(drop(QStringLiteral("苹果香蕉五花肉鸡蛋苹果香蕉")));
        QCOMPARE(editor()->text(), QStringLiteral("苹果香蕉五花肉鸡蛋苹"));
    }

    void emojiIsRefusedWhereItIsTyped()
    {
        open(3, 3);
        typeText(QStringLiteral("Tea"));
        QSignalSpy refused(list, &EditableListCtrl::inputRefused);
        const QString emoji = QStringLiteral("😀");
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, emoji);
        QApplication::sendEvent(editor(), &press);
        QCOMPARE(editor()->text(), QStringLiteral("Tea"));
        QCOMPARE(refused.size(), 1);
        QVERIFY(QToolTip::isVisible());
        // The same through an input method: composed emoji refused, composed Chinese taken.
        QInputMethodEvent composedEmoji;
        composedEmoji.setCommitString(emoji);
        QApplication::sendEvent(editor(), &composedEmoji);
        QCOMPARE(editor()->text(), QStringLiteral("Tea"));
        QCOMPARE(refused.size(), 2);
        QInputMethodEvent composedChinese;
        composedChinese.setCommitString(QStringLiteral("鸡蛋"));
        QApplication::sendEvent(editor(), &composedChinese);
        QCOMPARE(editor()->text(), QStringLiteral("Tea鸡蛋"));
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(table.Cell(3, CommodityTable::Name), "Tea\xBC\xA6\xB5\xB0");
    }

    void composedTextIntoACodeTakesWhatFits()
    {
        open(3, 2);
        typeText(QStringLiteral("123456789012345678"));
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("苹果"));
        QApplication::sendEvent(editor(), &composed);
        QCOMPARE(editor()->text(), QStringLiteral("123456789012345678苹"));
    }

    void bytesThatAreNotGbkSurviveAnUntouchedEdit()
    {
        table.SetCell(3, CommodityTable::Name, std::string("ab\x80\xFF", 4));
        list->Refresh();
        open(3, 3);
        QTest::keyClick(editor(), Qt::Key_Right);
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(table.Cell(3, CommodityTable::Name), std::string("ab\x80\xFF", 4));
    }

    void refreshShowsOutsideChanges()
    {
        table.SetCell(10, CommodityTable::Name, gbk(QStringLiteral("鸡蛋")));
        list->Refresh();
        QCOMPARE(list->model()->index(10, 3).data().toString(), QStringLiteral("鸡蛋"));
        QCOMPARE(list->columnWidth(3), 180);
    }
};

QTEST_MAIN(EditableListCtrlTest)
#include "EditableListCtrlTest.moc"
