#include "statistics/ui/StatisticsChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QPainter>
#include <QValueAxis>
#include <algorithm>

StatisticsChart::StatisticsChart(const QString& title, const char* name, QWidget* parent)
    : QChartView(parent), m_bar(palette().color(QPalette::Highlight)), m_label(palette().color(QPalette::Text)),
      m_grid(palette().color(QPalette::Mid)), m_plot(palette().color(QPalette::Base))
{
    setObjectName(QString::fromLatin1(name));
    setAccessibleName(title);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(220);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    m_set = new QBarSet(title);
    auto* series = new QBarSeries;
    series->append(m_set);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    chart->addSeries(series);
    m_labels = new QBarCategoryAxis;
    m_counts = new QValueAxis;
    m_counts->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(m_labels, Qt::AlignBottom);
    chart->addAxis(m_counts, Qt::AlignLeft);
    series->attachAxis(m_labels);
    series->attachAxis(m_counts);
    // The view starts with a chart of its own, which it lets go of, not
    // deletes, when given another.
    QChart* const first = QChartView::chart();
    setChart(chart);
    delete first;
    recolour();
}

void StatisticsChart::setBars(const QString& title, const QStringList& labels, const QList<qint64>& values)
{
    chart()->setTitle(title);
    m_set->remove(0, m_set->count());
    m_labels->clear();
    m_labels->append(labels);
    // Many labels stand slanted, so that each is read whole.
    m_labels->setLabelsAngle(labels.size() > 12 ? -45 : 0);
    qint64 most = 0;
    for (const qint64 value : values) {
        m_set->append(double(value));
        most = std::max(most, value);
    }
    // Whole numbers on the axis, with room above the highest bar for its label.
    m_counts->setRange(0, std::max<qint64>(most + most / 8 + 1, 4));
    m_counts->applyNiceNumbers();
}

QString StatisticsChart::title() const
{
    return chart()->title();
}

void StatisticsChart::setBarColor(const QColor& colour)
{
    m_bar = colour;
    recolour();
}

void StatisticsChart::setLabelColor(const QColor& colour)
{
    m_label = colour;
    recolour();
}

void StatisticsChart::setGridColor(const QColor& colour)
{
    m_grid = colour;
    recolour();
}

void StatisticsChart::setPlotColor(const QColor& colour)
{
    m_plot = colour;
    recolour();
}

void StatisticsChart::recolour()
{
    m_set->setColor(m_bar);
    m_set->setBorderColor(m_bar.darker(125));
    m_set->setLabelColor(m_label);
    QChart* c = chart();
    c->setBackgroundBrush(m_plot);
    c->setTitleBrush(m_label);
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(m_labels), static_cast<QAbstractAxis*>(m_counts)}) {
        axis->setLabelsColor(m_label);
        axis->setLinePenColor(m_grid);
        axis->setGridLineColor(m_grid);
    }
    setBackgroundBrush(m_plot);
}

void StatisticsChart::paintInto(QPainter& painter, const QRectF& target)
{
    // The chart lays itself out for the target's size, then for the view again.
    const QRectF shown = scene()->sceneRect();
    chart()->resize(target.size());
    scene()->setSceneRect(QRectF(QPointF(0, 0), target.size()));
    scene()->render(&painter, target, scene()->sceneRect());
    chart()->resize(shown.size());
    scene()->setSceneRect(shown);
}
