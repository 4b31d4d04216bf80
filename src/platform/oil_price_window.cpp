// SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: one widget per control, kept in step with the window model.
#include "platform/oil_price_window.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include "platform/control_accessibility.h"
#include "platform/qt_text.h"
#include "platform/twip_label.h"
#include "run/run_sequence.h"

namespace brevane {
namespace {

// The preferred face of the panel and notice fonts, then faces with the same role
// on other systems, so CJK text never falls back to a face chosen at random.
const QStringList kSansFamilies = {
    QStringLiteral("微软雅黑"),
    QStringLiteral("Microsoft YaHei"),
    QStringLiteral("WenQuanYi Micro Hei"),
    QStringLiteral("Noto Sans CJK SC"),
    QStringLiteral("Source Han Sans SC"),
    QStringLiteral("Droid Sans Fallback"),
};
// The default font has Latin letters half as wide as an ideograph, as the classic
// Chinese UI face has: the status line relies on it, where "[" and "]" of one label
// must frame the sponsor word of another label exactly, and the credit line and the
// date must fit their places.
const QStringList kDefaultFamilies = {
    QStringLiteral("SimSun"),
    QStringLiteral("NSimSun"),
    QStringLiteral("WenQuanYi Micro Hei Mono"),
    QStringLiteral("Noto Sans Mono CJK SC"),
    QStringLiteral("Droid Sans Fallback"),
};

int TwipsToPixel(int twips) {
    // Rounds half away from zero, so negative positions mirror positive ones.
    const int half = kTwipsPerPixel / 2;
    return twips >= 0 ? (twips + half) / kTwipsPerPixel : -((-twips + half) / kTwipsPerPixel);
}

/// A rectangle in twips as logical pixels.
QRect TwipsToPixels(const Geometry& g) {
    return QRect(TwipsToPixel(g.left), TwipsToPixel(g.top), TwipsToPixel(g.width),
                 TwipsToPixel(g.height));
}

/// A straight line of one pixel between two points; only lines along an axis occur.
class LineWidget : public QWidget {
public:
    LineWidget(const QColor& colour, QWidget* parent) : QWidget(parent), m_colour(colour) {
        // A line is drawn, not touched: the pointer and tooltips see what lies beneath.
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override { QPainter(this).fillRect(rect(), m_colour); }

private:
    QColor m_colour;
};

QRect LineRect(const Geometry& g) {
    const QPoint from(TwipsToPixel(g.left), TwipsToPixel(g.top));
    const QPoint to(TwipsToPixel(g.left + g.width), TwipsToPixel(g.top + g.height));
    // The end point itself is not drawn, as a pen moving to it leaves it out.
    const QRect span = QRect(from, to).normalized();
    return QRect(span.topLeft(),
                 QSize(std::max(span.width() - 1, 1), std::max(span.height() - 1, 1)));
}

}  // namespace

QFont FontFor(FontKind kind) {
    QFont font;
    switch (kind) {
        case FontKind::Panel:
            font.setFamilies(kSansFamilies);
            font.setPointSizeF(10.5);
            break;
        case FontKind::Notice:
            font.setFamilies(kSansFamilies);
            font.setPointSizeF(9);
            break;
        case FontKind::Default: {
            font.setFamilies(kDefaultFamilies);
            font.setPointSizeF(9);
            // A face whose Latin letters are wider than half an ideograph would push
            // the status line's texts into each other; such a face is drawn smaller,
            // at the size where they are half as wide again.
            const QFontMetricsF metrics(font);
            const qreal ideograph = metrics.horizontalAdvance(QChar(0x3000));
            const qreal latin = metrics.horizontalAdvance(QLatin1Char('0'));
            if (latin > ideograph * 0.55) {
                font.setPixelSize(static_cast<int>(ideograph * ideograph / 2 / latin + 0.05));
            }
            break;
        }
    }
    font.setWeight(QFont::Normal);
    return font;
}

OilPrice::OilPrice(RunContext& run, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_run(run) {
    setFixedSize(TwipsToPixel(kClientWidth), TwipsToPixel(kClientHeight));
    setFont(FontFor(FontKind::Default));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brevane.ico")));
    InstallControlAccessibility();

    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kStartTimerIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &OilPrice::onTimerTick);

    build();
    m_run.window.setObserver([this](const Change& change) { apply(change); });
}

OilPrice::~OilPrice() {
    if (!m_closed) {
        m_run.window.setObserver(nullptr);
    }
}

TwipLabel* OilPrice::label(Control id) const {
    return SpecOf(id).kind == ControlKind::Label ? static_cast<TwipLabel*>(control(id)) : nullptr;
}

void OilPrice::build() {
    const WindowModel& model = m_run.window;
    for (const ControlSpec& spec : AllControls()) {
        // A container comes before what it holds, so its widget exists already.
        QWidget* container = spec.container ? control(*spec.container) : this;

        QWidget* widget = nullptr;
        switch (spec.kind) {
            case ControlKind::Timer:
                continue;
            case ControlKind::Browser:
                // The pages live in the page loader; these only hold the controls'
                // places, below the client area where nobody sees or reaches them.
                widget = new QWidget(container);
                widget->setGeometry(TwipsToPixels(spec.geometry));
                widget->setFocusPolicy(Qt::NoFocus);
                widget->hide();
                break;
            case ControlKind::Frame: {
                auto* frame = new GroupFrame(container);
                frame->setFrameStyle(spec.bordered ? QFrame::Box | QFrame::Sunken
                                                   : QFrame::NoFrame);
                // A frame hides what lies beneath it, also where it holds no control.
                frame->setAutoFillBackground(true);
                frame->setGeometry(TwipsToPixels(spec.geometry));
                widget = frame;
                break;
            }
            case ControlKind::Line:
                widget = new LineWidget(QColor::fromRgb(spec.colour.value_or(0)), container);
                widget->setGeometry(LineRect(spec.geometry));
                break;
            case ControlKind::Label: {
                auto* label = new TwipLabel(container);
                label->setFont(FontFor(spec.font));
                if (spec.font == FontKind::Panel) {
                    label->setLinePitch(TwipsToPixel(kPanelLinePitch));
                }
                label->setGeometry(TwipsToPixels(spec.geometry));
                label->setTextColour(spec.colour ? QColor::fromRgb(*spec.colour) : QColor());
                label->setRightAligned(spec.rightAligned);
                label->setTransparent(spec.transparent);
                label->setAutoSize(spec.autoSize);
                label->setCaption(ToQt(model.caption(spec.id)));
                label->setPlainToolTip(ToQt(model.toolTip(spec.id)));
                if (spec.link) {
                    label->setLink(true);
                    connect(label, &TwipLabel::clicked, this,
                            [this, id = spec.id] { LinkClicked(m_run, id); });
                }
                widget = label;
                break;
            }
        }
        widget->setObjectName(
            QString::fromLatin1(spec.name.data(), static_cast<qsizetype>(spec.name.size())));
        if (spec.kind != ControlKind::Browser) {
            widget->setVisible(model.visible(spec.id));
        }
        m_controls[static_cast<std::size_t>(spec.id)] = widget;
    }

    // The inventory lists each container's controls topmost first; raising them from
    // the last to the first leaves the first on top.
    const auto all = AllControls();
    for (std::size_t i = all.size(); i > 0; --i) {
        if (QWidget* widget = control(all[i - 1].id)) {
            widget->raise();
        }
    }

    showWindowCaption();
    followTimer();
}

void OilPrice::apply(const Change& change) {
    const WindowModel& model = m_run.window;
    const ControlSpec& spec = SpecOf(change.control);
    switch (change.kind) {
        case ChangeKind::Caption:
            if (TwipLabel* l = label(change.control)) {
                l->setCaption(ToQt(model.caption(change.control)));
            }
            break;
        case ChangeKind::Visible:
            if (spec.kind != ControlKind::Browser && spec.kind != ControlKind::Timer) {
                control(change.control)->setVisible(model.visible(change.control));
            }
            break;
        case ChangeKind::ToolTip:
            if (TwipLabel* l = label(change.control)) {
                l->setPlainToolTip(ToQt(model.toolTip(change.control)));
            }
            break;
        case ChangeKind::WindowCaption:
            showWindowCaption();
            break;
        case ChangeKind::TimerEnabled:
            followTimer();
            break;
    }
}

void OilPrice::showWindowCaption() {
    // "[*]" in a title is Qt's placeholder for the modified mark; doubled it stands for
    // itself.
    QString title = ToQt(m_run.window.windowCaption());
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
}

void OilPrice::followTimer() {
    if (m_run.window.timerEnabled()) {
        m_timer.start();
    } else {
        m_timer.stop();
    }
}

void OilPrice::onTimerTick() {
    Tim_UpData_Timer(m_run);
    emit runEnded();
}

void OilPrice::centreOnScreen() {
    const QScreen* s = screen();
    if (s == nullptr || windowHandle() == nullptr) {
        return;
    }
    // The client area is placed so that the frame, as far as the platform knows it
    // now, falls in the middle; the window manager draws the frame around the client.
    m_centredMargins = windowHandle()->frameMargins();
    const QRect frame = QStyle::alignedRect(
        Qt::LeftToRight, Qt::AlignCenter, size().grownBy(m_centredMargins), s->availableGeometry());
    m_centredClient = frame.topLeft() + QPoint(m_centredMargins.left(), m_centredMargins.top());
    setGeometry(QRect(m_centredClient, size()));
}

void OilPrice::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_centred && windowHandle() != nullptr) {
        m_centred = true;
        windowHandle()->installEventFilter(this);
        centreOnScreen();
    }
}

bool OilPrice::eventFilter(QObject* watched, QEvent* event) {
    // A window manager that frames the window tells the frame's size only when it
    // takes the window on, just before the window is first exposed. While the window
    // stands where it was put, it is centred again with that frame; once the user has
    // moved it, it stays where it is.
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->frameMargins() != m_centredMargins &&
        geometry().topLeft() == m_centredClient) {
        centreOnScreen();
    }
    return QWidget::eventFilter(watched, event);
}

void OilPrice::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        m_run.window.setObserver(nullptr);
        m_timer.stop();
        emit closed();
    }
    QWidget::closeEvent(event);
}

}  // namespace brevane
