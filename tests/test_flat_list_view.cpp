// The lists' flat view against the plain road: a QTreeView set up as the lists were before
// (uniform rows, no root decoration, focus on the whole row) over a model with the same
// rows. Both are driven alike; their pixels, scroll bars, current and selected rows must
// stay equal.
#include "core/formats/skin_file.h"
#include "gui/controls/list_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using velmora::ListModel;
using velmora::ListView;

namespace {

// The tree view as the lists used it, dressed the same way.
std::unique_ptr<QTreeView> referenceView(ListModel& model)
{
    auto view = std::make_unique<QTreeView>();
    view->setModel(&model);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setAllColumnsShowFocus(true);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionsMovable(false);
    view->setBackgroundRole(QPalette::Base);
    view->setAutoFillBackground(true);
    view->viewport()->setAutoFillBackground(false);
    return view;
}

// Rows of a few lengths, so that some are cut short by a narrow column.
QString rowText(int row)
{
    return u"line %1 %2"_s.arg(row).arg(QString(row % 7 * 4, u'x'));
}

struct Pair
{
    ListView flat;
    ListModel referenceModel;
    std::unique_ptr<QTreeView> tree = referenceView(referenceModel);

    QList<QAbstractItemView*> views() { return {&flat, tree.get()}; }
    ListModel& model(QAbstractItemView* view)
    {
        return view == &flat ? *qobject_cast<ListModel*>(flat.model()) : referenceModel;
    }
    QHeaderView* header(QAbstractItemView* view)
    {
        return view == &flat ? flat.header() : tree->header();
    }
    bool focused = false; // each view takes the focus before it is driven or looked at
};

void giveFocus(QAbstractItemView& view)
{
    view.activateWindow();
    QApplication::setActiveWindow(&view);
    view.setFocus();
    QCoreApplication::processEvents();
}

// One step done alike to each view (and its model).
using Step = std::function<void(Pair&, QAbstractItemView&)>;

void settle()
{
    // Rows are announced and views laid out on the next turns of the event loop.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// How a view looks with the keyboard focus, or without it.
QImage look(QAbstractItemView& view, bool focus)
{
    if (focus) {
        giveFocus(view);
    } else {
        view.clearFocus();
        QCoreApplication::processEvents();
    }
    return view.grab().toImage();
}

void compareLook(Pair& pair, const QString& what)
{
    for (const bool focus : {false, true}) {
        const QImage flat = look(pair.flat, focus);
        const QImage tree = look(*pair.tree, focus);
        const QString name = what + (focus ? u" focused"_s : u""_s);
        if (flat != tree) { // saved for a look at what differs
            flat.save(u"flat-%1.png"_s.arg(name));
            tree.save(u"tree-%1.png"_s.arg(name));
        }
        QVERIFY2(flat == tree, qPrintable(name));
    }
}

void compareState(Pair& pair, const char* what)
{
    QAbstractItemView& flat = pair.flat;
    QAbstractItemView& tree = *pair.tree;
    QVERIFY2(flat.currentIndex().row() == tree.currentIndex().row(), what);
    const auto selectedRow = [](QAbstractItemView& view) {
        const QModelIndexList rows = view.selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.front().row();
    };
    QVERIFY2(selectedRow(flat) == selectedRow(tree), what);
    for (const auto bar :
         {&QAbstractItemView::verticalScrollBar, &QAbstractItemView::horizontalScrollBar}) {
        const QScrollBar* a = (flat.*bar)();
        const QScrollBar* b = (tree.*bar)();
        QVERIFY2(a->minimum() == b->minimum() && a->maximum() == b->maximum(), what);
        QVERIFY2(a->value() == b->value() && a->pageStep() == b->pageStep(), what);
        QVERIFY2(a->singleStep() == b->singleStep() && a->isVisible() == b->isVisible(), what);
    }
}

Step addRows(int count)
{
    return [count](Pair& pair, QAbstractItemView& view) {
        ListModel& model = pair.model(&view);
        const int first = model.rowCountWithPending();
        for (int row = first; row < first + count; ++row)
            model.appendRow(rowText(row));
    };
}

Step key(Qt::Key key)
{
    return [key](Pair&, QAbstractItemView& view) { QTest::keyClick(&view, key); };
}

Step clickAt(QPoint point)
{
    return [point](Pair&, QAbstractItemView& view) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, point);
    };
}

Step scrollTo(int row, QAbstractItemView::ScrollHint hint)
{
    return [row, hint](Pair& pair, QAbstractItemView& view) {
        view.scrollTo(pair.model(&view).index(row, 0), hint);
    };
}

Step removeRows(int first, int count)
{
    return [first, count](Pair& pair, QAbstractItemView& view) {
        for (int i = 0; i < count; ++i)
            pair.model(&view).removeRowAt(first);
    };
}

Step secondColumn()
{
    return [](Pair& pair, QAbstractItemView& view) {
        ListModel& model = pair.model(&view);
        model.appendColumn(u"Second"_s);
        for (int row = 0; row < model.rowCountWithPending(); ++row)
            model.setSubItem(row, 1, u"sub %1"_s.arg(row));
        QCoreApplication::processEvents();
        pair.header(&view)->resizeSection(0, 220);
        pair.header(&view)->resizeSection(1, 260);
    };
}

Step styled(const QString& sheet)
{
    return [sheet](Pair&, QAbstractItemView& view) {
        view.setStyleSheet(
            qobject_cast<ListView*>(&view)
                ? velmora::renameTypeSelector(sheet, u"QTreeView", u"velmora--ListView")
                : sheet);
    };
}

Step focused()
{
    return [](Pair& pair, QAbstractItemView& view) {
        pair.focused = true;
        giveFocus(view);
    };
}

} // namespace

class FlatListViewTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void looksAndActsAsTheTreeView_data();
    void looksAndActsAsTheTreeView();
    void skinsNamingTheTreeViewNameTheLists_data();
    void skinsNamingTheTreeViewNameTheLists();
};

void FlatListViewTest::looksAndActsAsTheTreeView_data()
{
    QTest::addColumn<QList<Step>>("steps");
    const QString skin = u"QTreeView { background: #fdfdf0; border: 2px solid #9aa8b8; }"
                         " QTreeView::item:selected { background: #7fb2e5; color: black; }"
                         " QHeaderView::section { background: #e8edf3; padding: 1px 4px; }"_s;

    QTest::newRow("empty, heading only") << QList<Step>{};
    QTest::newRow("a few rows") << QList<Step>{addRows(5)};
    QTest::newRow("more rows than fit, scrolled into view")
        << QList<Step>{addRows(200), scrollTo(120, QAbstractItemView::EnsureVisible)};
    QTest::newRow("scrolled to the bottom, then to the centre")
        << QList<Step>{addRows(200), scrollTo(199, QAbstractItemView::PositionAtBottom),
                       scrollTo(60, QAbstractItemView::PositionAtCenter)};
    QTest::newRow("keys walk the rows") << QList<Step>{addRows(300),          focused(),
                                                       key(Qt::Key_Down),     key(Qt::Key_Down),
                                                       key(Qt::Key_PageDown), key(Qt::Key_PageDown),
                                                       key(Qt::Key_End),      key(Qt::Key_PageUp),
                                                       key(Qt::Key_Up),       key(Qt::Key_Home),
                                                       key(Qt::Key_PageDown), key(Qt::Key_L),
                                                       key(Qt::Key_I)};
    QTest::newRow("clicks select rows")
        << QList<Step>{addRows(40),       focused(),          clickAt({20, 5}),
                       clickAt({40, 61}), clickAt({10, 150}), key(Qt::Key_Down)};
    QTest::newRow("a click below the last row")
        << QList<Step>{addRows(3), focused(), clickAt({20, 20}), clickAt({20, 150})};
    QTest::newRow("rows removed under the scrolled view")
        << QList<Step>{addRows(60), scrollTo(59, QAbstractItemView::EnsureVisible),
                       clickAt({20, 30}), removeRows(10, 40)};
    QTest::newRow("every row removed") << QList<Step>{addRows(30), removeRows(0, 30)};
    QTest::newRow("two columns, scrolled sideways by the arrows")
        << QList<Step>{addRows(30),        secondColumn(),     focused(),        key(Qt::Key_Down),
                       key(Qt::Key_Right), key(Qt::Key_Right), key(Qt::Key_Left)};
    QTest::newRow("a skin naming the tree view")
        << QList<Step>{styled(skin), addRows(25), focused(), clickAt({30, 40})};
}

void FlatListViewTest::looksAndActsAsTheTreeView()
{
    QFETCH(QList<Step>, steps);
    Pair pair;
    for (QAbstractItemView* view : pair.views()) {
        pair.model(view).appendColumn(u"Results"_s);
        view->resize(300, 200);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }
    settle();
    int done = 0;
    for (const Step& step : steps) {
        const bool focused = pair.focused;
        for (QAbstractItemView* view : pair.views()) {
            if (focused)
                giveFocus(*view);
            step(pair, *view);
            settle();
        }
        const QByteArray what =
            QByteArray(QTest::currentDataTag()) + " step " + QByteArray::number(++done);
        compareState(pair, what.constData());
    }
    compareLook(pair, QString::fromLatin1(QTest::currentDataTag()));
}

void FlatListViewTest::skinsNamingTheTreeViewNameTheLists_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("renamed");
    const auto row = [](const char* name, const char* sheet, const char* renamed) {
        QTest::newRow(name) << QString::fromUtf8(sheet) << QString::fromUtf8(renamed);
    };
    row("type selector", "QTreeView { color: red; }", "L { color: red; }");
    row("with sub-control and state", "QTreeView::item:selected{}", "L::item:selected{}");
    row("exact class, descendant, list", ".QTreeView QHeaderView, QFrame > QTreeView {}",
        ".L QHeaderView, QFrame > L {}");
    row("other names stay", "QTreeViewer {} MyQTreeView {} #QTreeView {} QTreeView-x {}",
        "QTreeViewer {} MyQTreeView {} #QTreeView {} QTreeView-x {}");
    row("declarations stay", "QFrame { image: url(QTreeView.png); } QTreeView {}",
        "QFrame { image: url(QTreeView.png); } L {}");
    row("comments and quotes stay", "/* QTreeView */ QLabel[text=\"QTreeView\"] {}",
        "/* QTreeView */ QLabel[text=\"QTreeView\"] {}");
    row("at the very end", "QFrame {} QTreeView", "QFrame {} L");
    row("unclosed comment", "QTreeView {} /* QTreeView", "L {} /* QTreeView");
    row("nothing to rename", "", "");
}

void FlatListViewTest::skinsNamingTheTreeViewNameTheLists()
{
    QFETCH(QString, sheet);
    QFETCH(QString, renamed);
    QCOMPARE(velmora::renameTypeSelector(sheet, u"QTreeView", u"L"), renamed);
}

QTEST_MAIN(FlatListViewTest)
#include "test_flat_list_view.moc"
