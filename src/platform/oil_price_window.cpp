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

#include <optional>

#include "look/fonts.h"
#include "look/label_layout.h"
#include "look/units.h"
#include "platform/control_accessibility.h"
#include "platform/qt_look.h"
#include "platform/qt_text.h"
#include "platform/twip_label.h"
#include "run/run_sequence.h"

namespace brevane {
namespace {

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

}  // namespace

QFont FontFor(FontKind kind) {
    const look::FontChoice choice = look::FontFor(kind);
    QStringList families;
    for (const std::u16string_view family : choice.families) {
        families.append(ToQt(family));
    }
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(choice.pointSize);
    font.setWeight(QFont::Weight(choice.weight));
    if (kind == FontKind::Default) {
        const QFontMetricsF metrics(font);
        if (const std::optional<int> pixels =
                look::NarrowedPixelSize(metrics.horizontalAdvance(QChar(look::kIdeographProbe)),
                                        metrics.horizontalAdvance(QChar(look::kLatinProbe)))) {
            font.setPixelSize(*pixels);
        }
    }
    return font;
}

OilPrice::OilPrice(RunContext& run, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_run(run) {
    const look::Size client = look::ClientSize(look::kBaseDpi);
    setFixedSize(client.width, client.height);
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
                widget->setGeometry(ToQt(look::ControlRect(spec, look::kBaseDpi)));
                widget->setFocusPolicy(Qt::NoFocus);
                widget->hide();
                break;
            case ControlKind::Frame: {
                auto* frame = new GroupFrame(container);
                frame->setFrameStyle(spec.bordered ? QFrame::Box | QFrame::Sunken
                                                   : QFrame::NoFrame);
                // A frame hides what lies beneath it, also where it holds no control.
                frame->setAutoFillBackground(true);
                frame->setGeometry(ToQt(look::ControlRect(spec, look::kBaseDpi)));
                widget = frame;
                break;
            }
            case ControlKind::Line:
                widget = new LineWidget(QColor::fromRgb(spec.colour.value_or(0)), container);
                widget->setGeometry(ToQt(look::ControlRect(spec, look::kBaseDpi)));
                break;
            case ControlKind::Label: {
                auto* label = new TwipLabel(container);
                label->setFont(FontFor(spec.font));
                if (spec.font == FontKind::Panel) {
                    label->setLinePitch(look::LinePitch(FontKind::Panel, look::kBaseDpi, 0));
                }
                label->setGeometry(ToQt(look::ControlRect(spec, look::kBaseDpi)));
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
