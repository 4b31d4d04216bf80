// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt ports: the OK/Cancel box driven for real and in the desktop's language, the
// shell, the clock, and the icon.
#include "platform/qt_ports.h"

#include <QDesktopServices>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

#include "platform/qt_text.h"
#include "platform/qt_translations.h"

#include "window_test_support.h"

namespace brevane {
namespace {

using namespace testing;

const std::u16string_view kTitle = u"错误提示";
const std::u16string_view kText =
    u"未能定位到您的所在地！ Error：1801\r\n是否尝试为您加载[广东 今日油价]？";

TEST(ConfirmBox, AnswersOkOnlyForOkAndItsDefault) {
    const struct {
        const char* name;
        std::function<void(QMessageBox*)> act;
        bool ok;
    } kCases[] = {
        {"OK button", [](QMessageBox* b) { b->button(QMessageBox::Ok)->click(); }, true},
        {"Enter takes the default", [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Return); },
         true},
        {"Cancel button", [](QMessageBox* b) { b->button(QMessageBox::Cancel)->click(); }, false},
        {"Esc", [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, false},
        {"close button", [](QMessageBox* b) { b->close(); }, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        QtConfirm confirm;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::Information;
        QAbstractButton* defaultButton = nullptr;
        QMessageBox* seen = nullptr;
        WhenModalOpens([&](QWidget* modal) {
            seen = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(seen, nullptr);
            title = seen->windowTitle();
            text = seen->text();
            icon = seen->icon();
            defaultButton = seen->defaultButton();
            EXPECT_EQ(defaultButton, seen->button(QMessageBox::Ok));
            EXPECT_EQ(seen->buttons().size(), 2);
            c.act(seen);
        });
        EXPECT_EQ(confirm.AskOkCancel(kTitle, kText), c.ok);
        EXPECT_EQ(title, ToQt(kTitle));
        EXPECT_EQ(text,
                  QStringLiteral(
                      "未能定位到您的所在地！ Error：1801\n是否尝试为您加载[广东 今日油价]？"));
        EXPECT_EQ(icon, QMessageBox::NoIcon);
    }
}

TEST(ConfirmBox, ShowsMarkupAsTextAndThrowsWhenAborted) {
    QtConfirm confirm;
    WhenModalOpens([&](QWidget* modal) {
        for (const QLabel* label : modal->findChildren<QLabel*>()) {
            if (label->text().contains(QStringLiteral("<b>"))) {
                EXPECT_EQ(label->textFormat(), Qt::PlainText);
            }
        }
        confirm.abort();
    });
    EXPECT_THROW(confirm.AskOkCancel(kTitle, u"<b>1801</b>"), RunAborted);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_THROW(confirm.AskOkCancel(kTitle, kText), RunAborted);  // and never again
}

TEST(ConfirmBox, ButtonsReadInTheDesktopsLanguage) {
    const QString file =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm");
    if (!QFile::exists(file)) {
        GTEST_SKIP() << "no " << file.toStdString() << " (package qt6-translations-l10n)";
    }
    const std::unique_ptr<QTranslator> translator(
        InstallQtTranslations(QLocale(QLocale::Chinese, QLocale::China)));
    ASSERT_NE(translator, nullptr);
    QStringList buttons;
    WhenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        buttons = {box->button(QMessageBox::Ok)->text(), box->button(QMessageBox::Cancel)->text()};
        box->button(QMessageBox::Cancel)->click();
    });
    QtConfirm().AskOkCancel(kTitle, kText);
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("确定"), QStringLiteral("取消")}));
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

TEST(Shell, HandsTheAddressToTheDesktop) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    QtShell shell;
    shell.OpenAddress(u"http://127.0.0.1:9/dashang.html");
    shell.OpenAddress(u"");  // ignored, no failure
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    ASSERT_EQ(catcher.urls.size(), 1u);
    EXPECT_EQ(catcher.urls[0], QUrl(QStringLiteral("http://127.0.0.1:9/dashang.html")));
}

TEST(Clock, CountsSundayAsDayOneAndWritesTheShortDate) {
    const struct {
        const char* name;
        QDate date;
        int dayOfWeek;
    } kCases[] = {
        {"Sunday", QDate(2026, 12, 6), 1},
        {"Monday", QDate(2026, 12, 7), 2},
        {"Friday", QDate(2018, 11, 30), 6},
        {"Saturday", QDate(2026, 12, 5), 7},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const Today today = TodayFrom(c.date, QLocale(QLocale::Chinese, QLocale::China));
        EXPECT_EQ(today.dayOfWeek, c.dayOfWeek);
        EXPECT_EQ(today.year, c.date.year());
        EXPECT_EQ(today.day, c.date.day());
    }
    EXPECT_EQ(
        TodayFrom(QDate(2018, 11, 30), QLocale(QLocale::Chinese, QLocale::China)).shortDateText,
        u"2018/11/30");
    // The system clock may pass midnight during the call: either day is right.
    const QDate before = QDate::currentDate();
    const Today now = QtClock().Now();
    const QDate after = QDate::currentDate();
    const QDate date(now.year, now.month, now.day);
    EXPECT_TRUE(date == before || date == after) << date.toString().toStdString();
    EXPECT_EQ(ToQt(now.shortDateText), QLocale::system().toString(date, QLocale::ShortFormat));
}

TEST(Icon, HoldsNineImagesInThreeSizesAndThreeDepths) {
    QImageReader reader(QStringLiteral(":/icons/brevane.ico"));
    ASSERT_TRUE(reader.canRead()) << reader.errorString().toStdString();
    EXPECT_EQ(reader.imageCount(), 9);
    std::map<int, int> bySize;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << i;
        EXPECT_EQ(image.width(), image.height());
        ++bySize[image.width()];
        // The middle of the drop is opaque, the corners are clear.
        EXPECT_EQ(qAlpha(image.pixel(image.width() / 2, image.height() * 3 / 4)), 255) << i;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << i;
    }
    EXPECT_EQ(bySize, (std::map<int, int>{{16, 3}, {32, 3}, {48, 3}}));
}

}  // namespace
}  // namespace brevane

#include "window_test_ports.moc"
