#include "look/ui/FrmHelp.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ui/WindowStyler.h"

namespace {

// A small light bulb: the "did you know?" of the tips window.
QPixmap bulbPicture()
{
    QPixmap picture(48, 48);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    // Rays.
    painter.setPen(QPen(QColor(240, 170, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(24, 2), QPointF(24, 6));
    painter.drawLine(QPointF(8, 9), QPointF(11, 12));
    painter.drawLine(QPointF(40, 9), QPointF(37, 12));
    painter.drawLine(QPointF(3, 22), QPointF(7, 22));
    painter.drawLine(QPointF(45, 22), QPointF(41, 22));
    // Glass.
    QRadialGradient glow(QPointF(21, 18), 14);
    glow.setColorAt(0, QColor(255, 252, 210));
    glow.setColorAt(1, QColor(255, 205, 40));
    painter.setBrush(glow);
    painter.setPen(QPen(QColor(170, 110, 0), 1.5));
    QPainterPath glass;
    glass.moveTo(18, 34);
    glass.cubicTo(18, 28, 11, 26, 11, 21);
    glass.arcTo(QRectF(11, 8, 26, 26), 180, -180);
    glass.cubicTo(37, 26, 30, 28, 30, 34);
    glass.closeSubpath();
    painter.drawPath(glass);
    // Screw base.
    painter.setBrush(QColor(150, 150, 160));
    painter.setPen(QPen(QColor(90, 90, 100), 1));
    painter.drawRoundedRect(QRectF(18, 35, 12, 4), 1.5, 1.5);
    painter.drawRoundedRect(QRectF(18, 39.5, 12, 4), 1.5, 1.5);
    painter.setBrush(QColor(90, 90, 100));
    painter.drawEllipse(QRectF(21, 43, 6, 3.5));
    return picture;
}

}  // namespace

FrmHelp::FrmHelp(Prompter& prompter, const WindowStyler& styler, const QString& dataDir)
    : QDialog(nullptr), m_styler(styler), m_tips(dataDir, prompter)
{
    setObjectName(QStringLiteral("FrmHelp"));
    setWindowTitle(QStringLiteral("每日小技巧"));
    setModal(false);
    buildControls();
    setFixedSize(500, 240);
}

void FrmHelp::buildControls()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("tipPanel"));
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setBackgroundRole(QPalette::Base);
    panel->setAutoFillBackground(true);

    picBulb = new QLabel(panel);
    picBulb->setObjectName(QStringLiteral("picBulb"));
    picBulb->setPixmap(bulbPicture());
    picBulb->setFixedSize(52, 52);
    picBulb->setAlignment(Qt::AlignCenter);

    lblHeading = new QLabel(QStringLiteral("你知道吗？"), panel);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    QFont heading = lblHeading->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.3);
    lblHeading->setFont(heading);

    tip_text = new QLabel(panel);
    tip_text->setObjectName(QStringLiteral("tip_text"));
    tip_text->setWordWrap(true);
    tip_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tip_text->setTextFormat(Qt::PlainText);
    tip_text->setAccessibleName(QStringLiteral("你知道吗？"));

    auto* line = new QFrame(panel);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* panelLayout = new QGridLayout(panel);
    panelLayout->setContentsMargins(12, 12, 12, 12);
    panelLayout->setHorizontalSpacing(12);
    panelLayout->addWidget(picBulb, 0, 0, 3, 1, Qt::AlignTop);
    panelLayout->addWidget(lblHeading, 0, 1);
    panelLayout->addWidget(line, 1, 1);
    panelLayout->addWidget(tip_text, 2, 1);
    panelLayout->setRowStretch(2, 1);
    panelLayout->setColumnStretch(1, 1);

    Next_Tip_Button = new QPushButton(QStringLiteral("下一个(&N)"), this);
    Next_Tip_Button->setObjectName(QStringLiteral("Next_Tip_Button"));
    Next_Tip_Button->setToolTip(QStringLiteral("显示下一条帮助信息"));
    Next_Tip_Button->setAutoDefault(false);
    Quick_Tip_OK_Button = new QPushButton(QStringLiteral("退出(&X)"), this);
    Quick_Tip_OK_Button->setObjectName(QStringLiteral("Quick_Tip_OK_Button"));
    Quick_Tip_OK_Button->setToolTip(QStringLiteral("退出帮助系统"));
    Quick_Tip_OK_Button->setDefault(true);
    for (QPushButton* button : {Next_Tip_Button, Quick_Tip_OK_Button})
        button->setMinimumWidth(96);

    show_tip = new QCheckBox(QStringLiteral("启动时显示"), this);
    show_tip->setObjectName(QStringLiteral("show_tip"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Next_Tip_Button);
    buttons->addWidget(Quick_Tip_OK_Button);
    buttons->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(panel, 1);
    top->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 10);
    layout->addLayout(top, 1);
    layout->addWidget(show_tip);

    setTabOrder(Quick_Tip_OK_Button, Next_Tip_Button);
    setTabOrder(Next_Tip_Button, show_tip);

    connect(Next_Tip_Button, &QPushButton::clicked, this, &FrmHelp::Next_Tip_Button_Click);
    connect(Quick_Tip_OK_Button, &QPushButton::clicked, this,
            &FrmHelp::Quick_Tip_OK_Button_Click);
}

void FrmHelp::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    QCoreApplication::processEvents();
    show_tip->setChecked(m_tips.showsAtStart());
    ShowNextTip();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void FrmHelp::ShowNextTip()
{
    // The tip is followed by a line break (\n, this platform's line break).
    tip_text->setText(m_tips.nextTip() + QLatin1Char('\n'));
}

void FrmHelp::Next_Tip_Button_Click()
{
    ShowNextTip();
}

void FrmHelp::Quick_Tip_OK_Button_Click()
{
    m_tips.saveStartFlag(show_tip->isChecked());
    close();
}
