#pragma once

#include <QDialog>
#include <QPointer>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;
class WindowStyler;

// The About box "关于Veltara": the maker's logo and two web addresses. With
// the system look the addresses are links (blue and underlined under the
// mouse) that open in the web browser; under a skin they are plain text and
// only the logo opens a page.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    // How an address is opened; the system's web browser unless a test says otherwise.
    using UrlOpener = std::function<void(const QUrl&)>;

    // The box stands on its own (no parent widget); it opens centred on `owner`.
    explicit FrmAbout(const WindowStyler& styler, const QWidget* owner = nullptr,
                      UrlOpener opener = {});

    // The load steps: the window style and, with it, which address labels show.
    void Form_Load();

    QLabel* picLogo = nullptr;
    QLabel* lblSiteCaption = nullptr;
    QLabel* lblSiteAddress = nullptr;
    QLabel* lblSkinCaption = nullptr;
    QLabel* lblSkinAddress = nullptr;
    QLabel* lblSiteLink = nullptr;
    QLabel* lblSkinLink = nullptr;
    QPushButton* cmdOK = nullptr;

public slots:
    void Form_MouseMove();
    void lblSiteLink_MouseMove();
    void lblSkinLink_MouseMove();
    void lblSiteLink_MouseDown();
    void lblSkinLink_MouseDown();
    void picLogo_Click();
    void cmdOK_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void centreOnOwner();
    void open(const QString& address);

    const WindowStyler& m_styler;
    QPointer<const QWidget> m_owner;
    UrlOpener m_opener;
};
