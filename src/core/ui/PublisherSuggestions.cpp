#include "core/ui/PublisherSuggestions.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include "core/logic/AppInfo.h"
#include "core/logic/StoreError.h"

PublisherSuggestions::PublisherSuggestions(QLineEdit* box, QWidget* host, int widthTwips, int heightTwips,
                                           LookUp lookUp)
    : QTableWidget(0, 1, host), m_box(box), m_lookUp(std::move(lookUp))
{
    setHorizontalHeaderLabels({QStringLiteral("出版社")});
    setAccessibleName(QStringLiteral("出版社"));
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::ClickFocus);  // reached from the box with Down, not with Tab
    resize(AppInfo::pixelsFromTwips(widthTwips), AppInfo::pixelsFromTwips(heightTwips));
    hide();
    connect(box, &QLineEdit::textChanged, this, &PublisherSuggestions::refresh);
    connect(this, &QTableWidget::cellClicked, this, &PublisherSuggestions::pick);
    box->installEventFilter(this);
}

QStringList PublisherSuggestions::entries() const
{
    QStringList names;
    for (int row = 0; row < rowCount(); ++row)
        names.append(item(row, 0)->text());
    return names;
}

void PublisherSuggestions::refresh()
{
    if (m_box->text().trimmed().isEmpty()) {
        hide();
        return;
    }
    try {
        fill(m_lookUp(m_box->text()));
    } catch (const StoreError&) {
        hide();  // no suggestions; typing goes on undisturbed
        return;
    }
    if (rowCount() == 0)
        hide();
    else if (!m_suppressed)
        showUnderBox();
}

void PublisherSuggestions::pick()
{
    const QTableWidgetItem* chosen = currentItem();
    if (chosen)
        m_box->setText(chosen->text());
    hide();
    m_box->setFocus();
}

void PublisherSuggestions::fill(const QStringList& names)
{
    setRowCount(0);
    setRowCount(int(names.size()));
    for (int row = 0; row < names.size(); ++row)
        setItem(row, 0, new QTableWidgetItem(names[row]));
}

void PublisherSuggestions::showUnderBox()
{
    QWidget* host = parentWidget();
    QPoint at = m_box->mapTo(host, QPoint(0, m_box->height()));
    at.setX(qMax(0, qMin(at.x(), host->width() - width())));  // kept inside the window
    move(at);
    raise();
    show();
}

bool PublisherSuggestions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_box && event->type() == QEvent::KeyPress && isVisible()
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down) {
        setFocus();
        setCurrentCell(0, 0);
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

void PublisherSuggestions::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        pick();
        return;
    case Qt::Key_Escape:
        hide();
        m_box->setFocus();
        return;
    default:
        QTableWidget::keyPressEvent(event);
    }
}
