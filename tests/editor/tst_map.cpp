// The map panel as the window shows it: which layout it shows when, where
// it opens, and how its boxes are chosen.
#include "GuiTestFiles.h"
#include "HardShape.h"
#include "panels/MapPanel.h"
#include "panels/MapView.h"

#include <QScrollBar>
#include <cmath>
#include <random>

class TestMap : public GuiTest {
    Q_OBJECT

    MapPanel &Map() { return m_dialog->Map(); }
    MapView *View() { return m_dialog->Map().view; }
    void OpenWithMap(const std::string &text)
    {
        Open(QByteArray::fromStdString(text));
        Map().show();
        QTRY_VERIFY_WITH_TIMEOUT(Map().IsUpToDate(), 60000);
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    }

private slots:
    // The map is cleared the moment another document is opened, and no
    // layout of the first one is shown after: fails if the layout under way
    // when it was replaced, or one that ended just before, is handed on.
    void openingAnotherDocumentClearsTheMapAtOnce()
    {
        Open(QByteArray::fromStdString(HardShapeConversation(5000)));
        Map().show();
        QTRY_VERIFY(!Map().statusLabel->text().isEmpty()); // laying out
        std::vector<size_t> shown;
        connect(&Map(), &MapPanel::updated, this, [&] { shown.push_back(View()->GetMap()->layout.nodes.size()); });
        const QString second = Write(QStringLiteral("second.dlg"), "// [LABEL] Ferry\n{1}{Hi}{Hi}{}{}{}{}\n{2}{Bye}{}{1}{}{}{}\n");
        QCOMPARE(m_dialog->LoadFile(Sys(second), QStringLiteral("second.dlg")), CMainDialog::LoadAnswer::Read);
        QVERIFY(!View()->GetMap());
        QCOMPARE(View()->PageAt(View()->viewport()->rect().center()), -1);
        QTRY_VERIFY_WITH_TIMEOUT(Map().IsUpToDate(), 60000);
        QCOMPARE(shown, std::vector<size_t>{1});
    }

    // A map too large to read whole, beyond the size the map was once
    // limited to, opens on the page on display at its natural size; a
    // click on a box shows its page and leaves the focus in the map; Fit
    // shows the whole of it, and zooming out goes no further.
    void aLargeMapOpensOnThePageOnDisplay()
    {
        OpenWithMap(HardShapeConversation(3000));
        MapView *view = View();
        QCOMPARE(view->GetMap()->layout.nodes.size(), size_t(3000));
        QCOMPARE(view->GetScale(), 1.0);
        QVERIFY(view->viewport()->rect().contains(view->PagePoint(0)));
        // A page beside the last one, which the map scrolls to.
        m_dialog->Session().SetCurrentPage(Doc()->GetPage(2999));
        QVERIFY(view->viewport()->rect().contains(view->PagePoint(2999)));
        const QRectF seen = view->mapToScene(view->viewport()->rect()).boundingRect();
        int beside = -1;
        for (const int v : view->GetMap()->layout.VerticesIn(seen.left(), seen.top(), seen.right(), seen.bottom()))
            beside = v < 3000 && v != 2999 ? v : beside;
        QVERIFY(beside >= 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->PagePoint(beside));
        QCOMPARE(Page(), Doc()->GetPage(beside));
        QCOMPARE(QApplication::focusWidget(), view);

        QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
        const double fit = view->GetScale();
        QVERIFY2(fit < 0.5, qPrintable(QString::number(fit)));
        // Once the scroll bars have gone.
        QTRY_VERIFY(view->mapToScene(view->viewport()->rect()).boundingRect().adjusted(-1, -1, 1, 1).contains(view->sceneRect()));
        QTest::keyClick(view, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(view->GetScale(), fit);
    }

    // An edit on the page on display that changes the shape lays the map
    // out anew, and the page stays where it was on the screen: fails if the
    // new layout is not anchored on it, or the view scrolls when it comes.
    void anEditKeepsThePageOnDisplayWhereItWas()
    {
        OpenWithMap(HardShapeConversation(400));
        DialogLine *page = Doc()->GetPage(150);
        m_dialog->Session().SetCurrentPage(page);
        // Off the middle, where the map scrolled to it.
        View()->horizontalScrollBar()->setValue(View()->horizontalScrollBar()->value() + 60);
        View()->verticalScrollBar()->setValue(View()->verticalScrollBar()->value() + 40);
        const std::shared_ptr<const MapView::Map> before = View()->GetMap();
        const QPoint at = View()->PagePoint(150);
        QVERIFY(View()->viewport()->rect().contains(at));
        m_dialog->Session().DeleteOption(*page, 0); // its first child, a subtree of its own
        QTRY_VERIFY(Map().IsUpToDate() && View()->GetMap() != before);
        QCOMPARE(Page(), page);
        QVERIFY2((View()->PagePoint(150) - at).manhattanLength() <= 2, "the page on display stays on the screen where it was");
        // Laid out afresh, the page would have moved.
        MapLayout fresh;
        QVERIFY(MapLayout::Lay(*View()->GetMap()->graph, nullptr, {}, {}, fresh));
        QVERIFY(fresh.nodes[150].x != before->layout.nodes[150].x);
    }

    // The arrow keys choose the nearest page that way, as a look at every
    // page would find it: fails if the search through the rows skips a
    // row or a box that is nearer, or lands on a marker.
    void arrowKeysChooseTheNearestPage()
    {
        OpenWithMap(HardShapeConversation(400));
        MapView *view = View();
        const MapLayout &layout = view->GetMap()->layout;
        // The cost of going from one page to another that way: the distance
        // along it plus twice the distance across; none for a page not that way.
        const auto cost = [&](int from, int to, QPointF way) {
            const double x = layout.nodes[size_t(to)].x - layout.nodes[size_t(from)].x;
            const double y = layout.nodes[size_t(to)].y - layout.nodes[size_t(from)].y;
            const double along = x * way.x() + y * way.y();
            return along > 0.5 ? along + 2 * std::abs(x * way.y() - y * way.x()) : INFINITY;
        };
        const auto least = [&](int from, QPointF way) {
            double best = INFINITY;
            for (size_t i = 0; i < layout.nodes.size(); ++i)
                best = std::min(best, cost(from, int(i), way));
            return best;
        };
        const std::pair<Qt::Key, QPointF> ways[] = {{Qt::Key_Left, {-1, 0}}, {Qt::Key_Right, {1, 0}}, {Qt::Key_Up, {0, -1}}, {Qt::Key_Down, {0, 1}}};
        std::mt19937 random(7);
        for (int run = 0; run < 100; ++run) {
            const int from = int(random() % layout.nodes.size());
            for (const auto &[key, way] : ways) {
                view->SetCurrentPage(from, false);
                QTest::keyClick(view, key);
                const int chosen = view->GetChosenPage();
                const double best = least(from, way);
                if (std::isinf(best))
                    QCOMPARE(chosen, from);
                else
                    QCOMPARE(cost(from, chosen, way), best);
            }
        }
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(Page(), Doc()->GetPage(view->GetChosenPage()));
    }
};

QTEST_MAIN(TestMap)
#include "tst_map.moc"
