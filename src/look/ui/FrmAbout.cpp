#include "look/ui/FrmAbout.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include "look/logic/MakerLinks.h"
#include "core/ui/WindowStyler.h"

namespace {

// The maker's logo: a clear lake under two mountain peaks, and the name.
QPixmap logoPicture()
{
    QPixmap picture(104, 104);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 104);
    sky.setColorAt(0, QColor(28, 96, 140));
    sky.setColorAt(1, QColor(12, 44, 78));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawRoundedRect(QRectF(2, 2, 100, 100), 18, 18);

    QPainterPath peaks;
    peaks.moveTo(14, 62);
    peaks.lineTo(42, 22);
    peaks.lineTo(54, 38);
    peaks.lineTo(64, 26);
    peaks.lineTo(90, 62);
    peaks.closeSubpath();
    painter.setBrush(QColor(236, 244, 250));
    painter.drawPath(peaks);
    QPainterPath shade;
    shade.moveTo(42, 22);
    shade.lineTo(50, 62);
    shade.lineTo(14, 62);
    shade.closeSubpath();
    painter.setBrush(QColor(178, 204, 222));
    painter.drawPath(shade);

    painter.setPen(QPen(QColor(120, 200, 230), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (int row = 0; row < 2; ++row) {
        QPainterPath wave;
        const double y = 68 + row * 6;
        wave.moveTo(18 + row * 8, y);
        wave.cubicTo(30 + row * 8, y - 4, 38 + row * 8, y + 4, 52, y);
        wave.cubicTo(64 - row * 8, y - 4, 74 - row * 8, y + 4, 86 - row * 8, y);
        painter.drawPath(wave);
    }

    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(15);
    name.setBold(true);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    painter.setFont(name);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(2, 78, 100, 20), Qt::AlignCenter, QStringLiteral("Veltara"));
    return picture;
}

// A link at rest (black, not underlined) or under the mouse (blue, underlined).
void showLink(QLabel* link, bool underMouse)
{
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, underMouse ? QColor(0, 0, 255) : QColor(Qt::black));
    link->setPalette(palette);
    QFont font = link->font();
    font.setUnderline(underMouse);
    link->setFont(font);
}

bool isActivationKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

}  // namespace

FrmAbout::FrmAbout(const WindowStyler& styler, const QWidget* owner, UrlOpener opener)
    : QDialog(nullptr), m_styler(styler), m_owner(owner), m_opener(std::move(opener))
{
    if (!m_opener)
        m_opener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("关于Veltara"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setModal(false);
    setMouseTracking(true);
    buildControls();
    setFixedSize(460, 190);
}

void FrmAbout::buildControls()
{
    picLogo = new QLabel(this);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(logoPicture());
    picLogo->setFixedSize(108, 108);
    picLogo->setAlignment(Qt::AlignCenter);
    picLogo->setCursor(Qt::PointingHandCursor);
    picLogo->setFocusPolicy(Qt::StrongFocus);
    picLogo->setAccessibleName(QStringLiteral("Veltara"));
    picLogo->setAccessibleDescription(MakerLinks::kHomePage);
    picLogo->setToolTip(MakerLinks::kHomePage);

    auto label = [this](const char* name, const QString& text) {
        auto* created = new QLabel(text, this);
        created->setObjectName(QString::fromLatin1(name));
        created->setTextFormat(Qt::PlainText);
        return created;
    };
    lblSiteCaption = label("lblSiteCaption", QStringLiteral("公司网站："));
    lblSiteAddress = label("lblSiteAddress", MakerLinks::kSoftwarePage);
    lblSiteLink = label("lblSiteLink", MakerLinks::kSoftwarePage);
    lblSkinCaption = label("lblSkinCaption", QStringLiteral("关于界面皮肤，请参见："));
    lblSkinAddress = label("lblSkinAddress", MakerLinks::kSkinPage);
    lblSkinLink = label("lblSkinLink", MakerLinks::kSkinPage);
    for (QLabel* link : {lblSiteLink, lblSkinLink}) {
        link->setMouseTracking(true);
        link->setCursor(Qt::PointingHandCursor);
        link->setFocusPolicy(Qt::StrongFocus);
        link->installEventFilter(this);
    }
    picLogo->installEventFilter(this);
    lblSiteLink->setAccessibleName(lblSiteCaption->text());
    lblSkinLink->setAccessibleName(lblSkinCaption->text());

    cmdOK = new QPushButton(QStringLiteral("确定(&O)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setMinimumWidth(96);
    connect(cmdOK, &QPushButton::clicked, this, &FrmAbout::cmdOK_Click);

    auto* addresses = new QVBoxLayout;
    addresses->setSpacing(4);
    addresses->addWidget(lblSiteCaption);
    addresses->addWidget(lblSiteAddress);
    addresses->addWidget(lblSiteLink);
    addresses->addSpacing(14);
    addresses->addWidget(lblSkinCaption);
    addresses->addWidget(lblSkinAddress);
    addresses->addWidget(lblSkinLink);
    addresses->addStretch();

    auto* top = new QHBoxLayout;
    top->setSpacing(20);
    top->addWidget(picLogo, 0, Qt::AlignTop);
    top->addLayout(addresses, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    setTabOrder(cmdOK, lblSiteLink);
    setTabOrder(lblSiteLink, lblSkinLink);
    setTabOrder(lblSkinLink, picLogo);
    cmdOK->setFocus();
}

void FrmAbout::Form_Load()
{
    m_styler.ApplyWindowStyle(this);
    const bool systemLook = m_styler.systemLook();
    lblSiteAddress->setVisible(!systemLook);
    lblSkinAddress->setVisible(!systemLook);
    lblSiteLink->setVisible(systemLook);
    lblSkinLink->setVisible(systemLook);
    centreOnOwner();
    QCoreApplication::processEvents();
}

void FrmAbout::centreOnOwner()
{
    if (m_owner)
        move(m_owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
}

void FrmAbout::Form_MouseMove()
{
    showLink(lblSiteLink, false);
    showLink(lblSkinLink, false);
}

void FrmAbout::lblSiteLink_MouseMove()
{
    showLink(lblSiteLink, true);
}

void FrmAbout::lblSkinLink_MouseMove()
{
    showLink(lblSkinLink, true);
}

void FrmAbout::lblSiteLink_MouseDown()
{
    open(lblSiteLink->text());
}

void FrmAbout::lblSkinLink_MouseDown()
{
    open(lblSkinLink->text());
}

void FrmAbout::picLogo_Click()
{
    open(MakerLinks::kHomePage);
}

void FrmAbout::cmdOK_Click()
{
    close();
}

void FrmAbout::open(const QString& address)
{
    m_opener(QUrl::fromUserInput(address));
}

void FrmAbout::mouseMoveEvent(QMouseEvent* event)
{
    Form_MouseMove();
    QDialog::mouseMoveEvent(event);
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == picLogo) {
        if (event->type() == QEvent::MouseButtonPress)
            return true;  // the click comes with the release over the picture
        const bool clicked = event->type() == QEvent::MouseButtonRelease
                             && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton
                             && picLogo->rect().contains(
                                 static_cast<QMouseEvent*>(event)->position().toPoint());
        if (clicked || isActivationKey(event)) {
            picLogo_Click();
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    if (watched != lblSiteLink && watched != lblSkinLink)
        return QDialog::eventFilter(watched, event);
    const bool first = watched == lblSiteLink;
    switch (event->type()) {
    case QEvent::MouseMove:
        first ? lblSiteLink_MouseMove() : lblSkinLink_MouseMove();
        return true;  // the background below must not put the link back to rest
    case QEvent::MouseButtonPress:
        first ? lblSiteLink_MouseDown() : lblSkinLink_MouseDown();
        return true;
    case QEvent::FocusIn:
        // Keyboard use: the focused link shows as under the mouse.
        Form_MouseMove();
        first ? lblSiteLink_MouseMove() : lblSkinLink_MouseMove();
        break;
    default:
        if (isActivationKey(event)) {
            first ? lblSiteLink_MouseDown() : lblSkinLink_MouseDown();
            return true;
        }
        break;
    }
    return QDialog::eventFilter(watched, event);
}
