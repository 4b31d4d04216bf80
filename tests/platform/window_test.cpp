// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window offscreen: geometry, stacking, composition of the price table,
// the status line on light and dark palettes, tooltips, what screen readers read, following the
// model, the start timer, the sponsor label and closing.
#include "platform/oil_price_window.h"

#include <QAccessible>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <optional>

#include "look/colour.h"
#include "platform/qt_look.h"
#include "platform/qt_ports.h"
#include "platform/qt_text.h"
#include "platform/twip_label.h"
#include "run/run_sequence.h"
#include "support/control_rects.h"
#include "support/fake_ports.h"
#include "support/sample_pages.h"
#include "support/version_caption.h"
#include "window_test_support.h"

namespace brevane {
namespace {

using namespace testing;
using enum Control;

const QString kLoadingCaption = ToQt(kVersionCaption + u" [正在获取您的所在地...]");
const QString kShenzhenCaption = ToQt(kVersionCaption + u" [广东-深圳 今日油价]");

QString PlainToolTip(const QWidget* widget) {
    QTextDocument document;
    document.setHtml(widget->toolTip());
    return document.toPlainText();
}

/// Ink columns of `line` drawn in the panel font from x = `textLeft`, over [left, right).
std::vector<bool> ExpectedInk(const QString& line, int textLeft, int left, int right,
                              QColor background) {
    QImage image(right + 50, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.setFont(FontFor(FontKind::Panel));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(textLeft, 28), line);
    painter.end();
    return InkColumns(image, left, right, 0, image.height(), background);
}

void SaveScreenshot(QWidget& widget, const char* name) {
    QDir().mkpath(QStringLiteral(BREVANE_SCREENSHOT_DIR));
    widget.grab().save(QStringLiteral(BREVANE_SCREENSHOT_DIR "/") + QLatin1String(name));
}

class WindowTest : public ::testing::Test {
protected:
    WindowTest() {
        window = std::make_unique<OilPrice>(run);
        confirm.setParentWindow(window.get());
        QObject::connect(window.get(), &OilPrice::closed, window.get(),
                         [this] { confirm.abort(); });
    }

    /// Serves a place with a city on both price sites, as the core's whole-run tests do.
    void ServeShenzhen() {
        p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
        p.pages.Serve(u"http://a.test/guangdong.shtml", SiteAPage(u"广东"));
        p.pages.Serve(u"http://a.test/guangdong/shenzhen.shtml", SiteAPage(u"深圳", u"7.15"));
        p.pages.Serve(u"http://b.test/guangdong/", SiteBPage());
        p.pages.Serve(u"http://b.test/guangdong/shenzhenshi.html", SiteBPage(u"7.13"));
    }

    /// Form_Load, the window shown, and the tick waited for.
    void LoadShowAndRun() {
        Form_Load(run);
        window->show();
        QSignalSpy ended(window.get(), &OilPrice::runEnded);
        ASSERT_TRUE(ended.wait(5000));
    }

    TwipLabel* label(Control id) const { return window->label(id); }

    /// Checks that rows [firstLine, lastLine] of `id`, drawn on its pitch, show in the
    /// window between `left` and `right` exactly as the label's own lines.
    void ExpectLinesShow(const QImage& grab, Control id, int firstLine, int lastLine, int left,
                         int right, bool inked = true) const {
        TwipLabel* l = label(id);
        const QPoint origin = l->mapTo(window.get(), QPoint(0, 0));
        const QStringList lines = l->lines();
        const QColor background = window->palette().color(QPalette::Window);
        for (int i = firstLine; i <= lastLine; ++i) {
            SCOPED_TRACE(std::string(SpecOf(id).name) + " line " + std::to_string(i));
            ASSERT_LT(i, lines.size());
            const int top = origin.y() + i * l->linePitch();
            const std::string shown =
                InkString(InkColumns(grab, left, right, top, top + 20, background));
            EXPECT_EQ(shown.find('#') != std::string::npos, inked);
            EXPECT_EQ(shown, InkString(ExpectedInk(lines[i], origin.x(), left, right, background)));
        }
    }

    FakeProgram p;
    QtConfirm confirm;
    RunContext run{p.window, p.pages, confirm, p.shell, p.clock, p.log, TestAddresses()};
    std::unique_ptr<OilPrice> window;
};

TEST_F(WindowTest, EveryControlSitsInItsContainerInStackingOrder) {
    EXPECT_EQ(window->minimumSize(), QSize(321, 241));
    EXPECT_EQ(window->maximumSize(), QSize(321, 241));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_FALSE(window->windowIcon().isNull());

    std::map<QWidget*, QStringList> expectedOrder;  // topmost first
    for (const ControlSpec& spec : AllControls()) {
        SCOPED_TRACE(std::string(spec.name));
        QWidget* w = window->control(spec.id);
        if (spec.kind == ControlKind::Timer) {
            EXPECT_EQ(w, nullptr);
            continue;
        }
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName().toStdString(), spec.name);
        QWidget* container = spec.container ? window->control(*spec.container) : window.get();
        EXPECT_EQ(w->parentWidget(), container);
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
        expectedOrder[container].append(QString::fromLatin1(spec.name.data(), spec.name.size()));

        // The browsers' places lie hidden below the client area; the table has the rest.
        if (spec.kind == ControlKind::Browser) {
            EXPECT_TRUE(w->isHidden());
            EXPECT_GE(w->y(), window->height());
        } else {
            EXPECT_EQ(w->isVisibleTo(window.get()), spec.visible);
        }
    }
    for (const auto& [container, names] : expectedOrder) {
        QStringList stacked;  // children() runs from the bottom to the top
        for (QObject* child : container->children()) {
            if (!child->objectName().isEmpty()) {
                stacked.prepend(child->objectName());
            }
        }
        EXPECT_EQ(stacked, names) << container->objectName().toStdString();
    }

    for (const ExpectedRect& row : kControlRects) {
        const QRect g = window->control(row.id)->geometry();
        EXPECT_EQ(RectMismatch(row, 96, g.x(), g.y(), g.width(), g.height()), "");
    }
}

TEST_F(WindowTest, FollowsEveryChangeOfTheModel) {
    Form_Load(run);
    EXPECT_EQ(window->windowTitle(), kLoadingCaption);
    EXPECT_EQ(label(Lab_YouJia)->caption(), QStringLiteral("油价信息加载中，请稍等..."));
    EXPECT_TRUE(window->timerActive());

    p.window.setVisible(Label1, true);
    p.window.setVisible(Lab_QiYouJiaGe, false);
    EXPECT_TRUE(label(Label1)->isVisibleTo(window.get()));
    EXPECT_FALSE(label(Lab_QiYouJiaGe)->isVisibleTo(window.get()));
    p.window.setToolTip(Lab_DanJia_1, u"广东当前油价");
    EXPECT_EQ(PlainToolTip(label(Lab_DanJia_1)), QStringLiteral("广东当前油价"));

    // Auto-size: NetError grows to three lines of the pitch; Label_Time keeps its left
    // edge while its text grows.
    const QPoint netErrorAt = label(NetError)->pos();
    p.window.setCaption(
        NetError,
        u"错误提示：\r\n数据获取失败，请检查网络！ Error：1802\r\n如错误已排除，请重启本程序。");
    EXPECT_EQ(label(NetError)->pos(), netErrorAt);
    EXPECT_EQ(label(NetError)->height(), 60);
    EXPECT_GT(label(NetError)->width(), 150);
    // The right-aligned date grows and shrinks to the left: its right edge stays at
    // 3000 + 1710 twips whatever the length of the date.
    const struct {
        const char* name;
        std::u16string_view date;
        bool widerThanDesign;
    } kDates[] = {
        {"short date", u"[26/1/7] 星期三", false},
        {"long date", u"[Wednesday, 7 January 2026] 星期三", true},
    };
    for (const auto& d : kDates) {
        SCOPED_TRACE(d.name);
        p.window.setCaption(Label_Time, d.date);
        const QRect time = label(Label_Time)->geometry();
        EXPECT_EQ(time.x() + time.width(), 314);
        EXPECT_EQ(time.y(), 224);
        EXPECT_EQ(time.width() > 114, d.widerThanDesign);
    }

    // The whole window, frame included, stands in the middle of the available area.
    window->show();
    const QRect frame = window->frameGeometry();
    const QRect area = window->screen()->availableGeometry();
    EXPECT_LE(std::abs((frame.left() - area.left()) - (area.right() - frame.right())), 1);
    EXPECT_LE(std::abs((frame.top() - area.top()) - (area.bottom() - frame.bottom())), 1);

    // A title is shown as written, also where Qt would see its modified-mark placeholder.
    p.window.setWindowCaption(u"a [*] b");
    EXPECT_EQ(window->windowHandle()->title(), QStringLiteral("a [*] b"));
}

TEST_F(WindowTest, CaptionsAndTooltipsAreShownAsPlainText) {
    const std::u16string markup = u"<b>x</b><img src=\"http://127.0.0.1:9/x.png\">";
    p.window.setCaption(Lab_YouJia, markup);
    p.window.setToolTip(Lab_DanJia_1, markup);
    p.window.setVisible(Lab_QiYouJiaGe, false);
    window->show();
    const QStringList lines = label(Lab_YouJia)->lines();
    EXPECT_EQ(lines.join(u' '), ToQt(markup));
    ExpectLinesShow(window->grab().toImage(), Lab_YouJia, 0, lines.size() - 1, 26, 200);
    EXPECT_EQ(PlainToolTip(label(Lab_DanJia_1)), ToQt(markup));
}

TEST_F(WindowTest, PriceTableComposesRowsFromOverlappingLabels) {
    ServeShenzhen();
    LoadShowAndRun();
    ASSERT_TRUE(p.window.visible(Lab_QiYouJiaGe) && p.window.visible(Lab_YouJia_2));
    SaveScreenshot(*window, "run_with_city.png");

    // Column I: site B's label shows in row 1 and right of site A's label, site A's in
    // rows 2 to 5; column II: the city labels through their frame, clipped to it.
    QImage grab = window->grab().toImage();
    ExpectLinesShow(grab, Lab_YouJia, 0, 0, 26, 200);
    ExpectLinesShow(grab, Lab_QiYouJiaGe, 0, 3, 26, 179);
    ExpectLinesShow(grab, Lab_YouJia, 1, 4, 179, 200, false);  // its lines are shorter
    ExpectLinesShow(grab, Lab_YouJia_2, 0, 0, 200, 241);
    ExpectLinesShow(grab, Lab_QiYouJiaGe_2, 0, 3, 200, 241);
    EXPECT_EQ(label(Lab_YouJia)->mapTo(window.get(), QPoint(0, 0)).y(), 56);  // row 1

    // Without site A, site B's five rows show.
    p.window.setVisible(Lab_QiYouJiaGe, false);
    grab = window->grab().toImage();
    ExpectLinesShow(grab, Lab_YouJia, 0, 4, 26, 200);

    // Without site B, the fixed 89# row shows beneath.
    p.window.setVisible(Lab_QiYouJiaGe, true);
    p.window.setVisible(Lab_YouJia, false);
    grab = window->grab().toImage();
    ExpectLinesShow(grab, Lab_Error89, 0, 0, 26, 200);

    // With the column II frame hidden, Label3's dashes show in its place; with the
    // frame shown and both city labels hidden, Label4's show there.
    p.window.setVisible(Fr_QiYouJiaGe_2, false);
    grab = window->grab().toImage();
    ExpectLinesShow(grab, Label3, 0, 4, 200, 241);
    p.window.setVisible(Fr_QiYouJiaGe_2, true);
    p.window.setVisible(Lab_QiYouJiaGe_2, false);
    p.window.setVisible(Lab_YouJia_2, false);
    grab = window->grab().toImage();
    ExpectLinesShow(grab, Label4, 0, 4, 200, 241);
}

/// The colour in `area` of `image` that stands out most from `background`: a label's ink.
QColor StrongestInk(const QImage& image, const QRect& area, const QColor& background) {
    QColor strongest = background;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (look::ContrastRatio(ToRgb(pixel), ToRgb(background)) >
                look::ContrastRatio(ToRgb(strongest), ToRgb(background))) {
                strongest = pixel;
            }
        }
    }
    return strongest;
}

TEST_F(WindowTest, StatusLineReadsOnLightAndDarkPalettes) {
    // qt6ct's "darker" scheme; its link colour alone would read at 4.1:1 on its window.
    QPalette darker(QColor(0xffffff), QColor(0x424245), QColor(0x979797), QColor(0x302f2e),
                    QColor(0x4a4947), QColor(0xffffff), QColor(0xffffff), QColor(0x3d3d3d),
                    QColor(0x222020));
    darker.setColor(QPalette::Link, QColor(0x0986d3));
    const QPalette light = QApplication::palette();
    const struct {
        const char* name;
        QPalette palette;
        bool specColours;  // else: at least 4.5:1
        const char* screenshot;
    } kPalettes[] = {
        {"default palette", light, true, "palette_light.png"},
        {"qt6ct darker, switched to while running", darker, false, "palette_darker.png"},
        {"default palette again", light, true, "palette_light_again.png"},
    };
    const struct {
        Control id;
        QRgb spec;
    } kLabels[] = {{Label6, 0x404040}, {Label_Time, 0x404040}, {Lab_ZanZhu, 0x0000ff}};
    // Aliased strokes show the pen's own colour.
    for (const auto& l : kLabels) {
        QFont font = label(l.id)->font();
        font.setStyleStrategy(QFont::NoAntialias);
        label(l.id)->setFont(font);
    }
    for (const auto& row : kPalettes) {
        QApplication::setPalette(row.palette);
        QApplication::processEvents();  // the palette reaches the widgets in posted events
        const QImage grab = window->grab().toImage();
        SaveScreenshot(*window, row.screenshot);
        const QColor background = row.palette.color(QPalette::Window);
        ASSERT_EQ(grab.pixelColor(0, grab.height() - 1), background) << row.name;
        for (const auto& l : kLabels) {
            SCOPED_TRACE(std::string(row.name) + ", " + std::string(SpecOf(l.id).name));
            const QColor ink = StrongestInk(grab, label(l.id)->geometry(), background);
            if (row.specColours) {
                EXPECT_EQ(ink.rgb(), 0xff000000 | l.spec) << ink.name().toStdString();
            } else {
                EXPECT_GE(look::ContrastRatio(ToRgb(ink), ToRgb(background)), 4.5)
                    << ink.name().toStdString();
            }
        }
    }
}

/// Whether a control and every frame around it are visible in the model.
bool ShownInModel(const WindowModel& model, Control id) {
    const std::optional<Control> container = SpecOf(id).container;
    return model.visible(id) && (!container || ShownInModel(model, *container));
}

TEST_F(WindowTest, ScreenReadersReadEveryLabelAndFrameAsTheModelHoldsIt) {
    ServeShenzhen();
    LoadShowAndRun();

    QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window.get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->role(), QAccessible::Window);
    EXPECT_EQ(root->text(QAccessible::Name), kShenzhenCaption);
    std::map<QString, QAccessibleInterface*> tree;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* parent) {
        for (int i = 0; i < parent->childCount(); ++i) {
            QAccessibleInterface* child = parent->child(i);
            tree[child->object()->objectName()] = child;
            walk(child);
        }
    };
    walk(root);

    auto expectTreeFollowsModel = [&](const char* when) {
        for (const ControlSpec& spec : AllControls()) {
            if (spec.kind != ControlKind::Label && spec.kind != ControlKind::Frame) {
                continue;
            }
            SCOPED_TRACE(std::string(spec.name) + ", " + when);
            QAccessibleInterface* node = tree[QLatin1String(spec.name)];
            ASSERT_NE(node, nullptr);
            const QWidget* widget = window->control(spec.id);
            EXPECT_EQ(node->parent()->object(), widget->parentWidget());
            EXPECT_EQ(node->state().invisible, !ShownInModel(p.window, spec.id));
            EXPECT_FALSE(node->state().focusable);
            EXPECT_EQ(node->rect(), widget->isVisible()
                                        ? QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size())
                                        : QRect());
            if (spec.kind == ControlKind::Frame) {
                EXPECT_EQ(node->role(), QAccessible::Grouping);
                continue;
            }
            const bool link = spec.link;
            EXPECT_EQ(node->role(), link ? QAccessible::Link : QAccessible::StaticText);
            EXPECT_EQ(
                node->actionInterface()->actionNames(),
                link ? QStringList{QAccessibleActionInterface::pressAction()} : QStringList());
            EXPECT_EQ(node->text(QAccessible::Name), ToQt(p.window.caption(spec.id)));
            EXPECT_EQ(node->text(QAccessible::Description), ToQt(p.window.toolTip(spec.id)));
        }
    };
    expectTreeFollowsModel("after the run");
    p.window.setVisible(Fr_QiYouJiaGe_2, false);
    expectTreeFollowsModel("with column II hidden");
}

TEST_F(WindowTest, PressingTheSponsorLinkOpensTheSponsorPage) {
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(label(Lab_ZanZhu));
    ASSERT_NE(link->actionInterface(), nullptr);
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(p.shell.opened, std::vector<std::u16string>{TestAddresses().sponsor});
}

TEST_F(WindowTest, TooltipsComeFromTheTopmostControlAtThePointer) {
    Form_Load(run);
    window->show();
    QWidget* frame = window->control(Frame1);
    const QPoint columnOne = frame->mapTo(window.get(), QPoint(150, 100));
    const QPoint columnTwo = frame->mapTo(window.get(), QPoint(205, 100));

    // Lab_DanJia_1 draws nothing, yet its rectangle gives the tooltip.
    QWidget* atColumnOne = window->childAt(columnOne);
    ASSERT_EQ(atColumnOne, label(Lab_DanJia_1));
    QHelpEvent help(QEvent::ToolTip, atColumnOne->mapFrom(window.get(), columnOne),
                    window->mapToGlobal(columnOne));
    QApplication::sendEvent(atColumnOne, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    EXPECT_EQ(shown.toPlainText(), QStringLiteral("单价(I)"));
    QToolTip::hideText();

    EXPECT_EQ(window->childAt(columnTwo), label(Lab_DanJia_2));
    p.window.setVisible(Lab_DanJia_2, false);
    p.window.setVisible(Lab_QiYouJiaGe_2, false);
    EXPECT_EQ(window->childAt(columnTwo), label(Lab_YouJia_2));
    p.window.setVisible(Lab_YouJia_2, false);
    QWidget* atColumnTwo = window->childAt(columnTwo);
    ASSERT_EQ(atColumnTwo, label(Label4));
    EXPECT_EQ(PlainToolTip(atColumnTwo), QStringLiteral("暂无II级油价信息"));
}

TEST_F(WindowTest, StartTimerTicksOnceAfterOneSecondAndRunsTheProgram) {
    ServeShenzhen();
    QElapsedTimer clock;
    clock.start();
    Form_Load(run);
    window->show();
    SaveScreenshot(*window, "form_load.png");
    EXPECT_EQ(window->windowTitle(), kLoadingCaption);

    // The sponsor label answers a click while the run waits for a page.
    TwipLabel* sponsor = label(Lab_ZanZhu);
    EXPECT_EQ(sponsor->cursor().shape(), Qt::PointingHandCursor);
    p.pages.duringWait = [&](Control browser) {
        if (browser == Web_QiYouJiaGe) {
            QTest::mouseClick(sponsor, Qt::LeftButton);
        }
    };

    QSignalSpy ended(window.get(), &OilPrice::runEnded);
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_GE(clock.elapsed(), 999);
    EXPECT_FALSE(window->timerActive());
    EXPECT_EQ(p.pages.requests().size(), 5u);
    EXPECT_EQ(p.shell.opened, std::vector<std::u16string>{TestAddresses().sponsor});
    EXPECT_EQ(window->windowTitle(), kShenzhenCaption);
    EXPECT_EQ(label(Label_Time)->caption(), QStringLiteral("[2026/12/7] 星期一"));
}

TEST_F(WindowTest, CancelInTheBoxLeavesErrorOne) {
    QString titleWhileOpen;
    WhenModalOpens([&](QWidget* modal) {
        titleWhileOpen = window->windowTitle();
        SaveScreenshot(*modal, "error_box.png");
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Cancel)->click();
    });
    LoadShowAndRun();
    SaveScreenshot(*window, "error_01.png");

    EXPECT_EQ(titleWhileOpen, kLoadingCaption);
    EXPECT_EQ(window->windowTitle(), ToQt(kVersionCaption));
    EXPECT_EQ(p.pages.requests().size(), 3u);  // the three location sources only
    EXPECT_TRUE(label(NetError)->isVisibleTo(window.get()));
    EXPECT_EQ(label(NetError)->height(), 60);
}

TEST_F(WindowTest, NoPricesLeaveErrorTwo) {
    p.pages.Serve(u"https://loc1.test/", LocationPage(u"广东省深圳市"));
    LoadShowAndRun();
    SaveScreenshot(*window, "error_02.png");
    EXPECT_TRUE(label(NetError)->isVisibleTo(window.get()));
    EXPECT_TRUE(label(NetError)->caption().contains(QStringLiteral("1802")));
    EXPECT_FALSE(window->control(Fr_QiYouJiaGe_2)->isVisibleTo(window.get()));
}

TEST_F(WindowTest, ClosingBeforeTheFirstTickRequestsNothing) {
    QSignalSpy ended(window.get(), &OilPrice::runEnded);
    QSignalSpy closed(window.get(), &OilPrice::closed);
    Form_Load(run);
    window->show();
    window->close();
    EXPECT_EQ(closed.size(), 1);
    // A stopped timer never ticks.
    EXPECT_FALSE(window->timerActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(ended.size(), 0);
    EXPECT_TRUE(p.pages.requests().empty());
}

TEST_F(WindowTest, ClosingDuringAPageWaitEndsTheRunWithoutTouchingTheWindow) {
    p.pages.duringWait = [&](Control) { window->close(); };
    QObject::connect(window.get(), &OilPrice::closed, window.get(),
                     [&] { p.pages.abortAt = u"https://loc1.test/"; });
    LoadShowAndRun();
    EXPECT_EQ(p.pages.requests().size(), 1u);
    EXPECT_FALSE(window->isVisible());

    // The window no longer follows the model.
    p.window.setCaption(Lab_YouJia, u"after the close");
    p.window.setTimerEnabled(true);
    EXPECT_EQ(label(Lab_YouJia)->caption(), QStringLiteral("油价信息加载中，请稍等..."));
    EXPECT_FALSE(window->timerActive());
}

TEST_F(WindowTest, ClosingWhileTheBoxIsOpenEndsTheRun) {
    WhenModalOpens([&](QWidget*) { window->close(); });
    LoadShowAndRun();
    EXPECT_EQ(p.pages.requests().size(), 3u);
    EXPECT_FALSE(p.window.visible(NetError));  // the run stopped inside the question
    EXPECT_EQ(p.window.windowCaption(), kLoadingCaption.toStdU16String());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace brevane
