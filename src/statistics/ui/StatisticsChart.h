#pragma once

#include <QChartView>
#include <QColor>
#include <QList>
#include <QStringList>

class QBarCategoryAxis;
class QBarSet;
class QValueAxis;

// A bar chart of a year's loans, drawn in the window style's colours: each
// skin names them in a rule for StatisticsChart (qproperty-barColor and the
// others below); without a skin they come from the system's palette.
class StatisticsChart : public QChartView {
    Q_OBJECT
    Q_PROPERTY(QColor barColor READ barColor WRITE setBarColor)
    Q_PROPERTY(QColor labelColor READ labelColor WRITE setLabelColor)
    Q_PROPERTY(QColor gridColor READ gridColor WRITE setGridColor)
    Q_PROPERTY(QColor plotColor READ plotColor WRITE setPlotColor)

public:
    StatisticsChart(const QString& title, const char* name, QWidget* parent = nullptr);

    // The bars, one per label, and the chart's title.
    void setBars(const QString& title, const QStringList& labels, const QList<qint64>& values);
    QString title() const;

    QColor barColor() const { return m_bar; }
    QColor labelColor() const { return m_label; }
    QColor gridColor() const { return m_grid; }
    QColor plotColor() const { return m_plot; }
    void setBarColor(const QColor& colour);
    void setLabelColor(const QColor& colour);
    void setGridColor(const QColor& colour);
    void setPlotColor(const QColor& colour);

    // Draws the chart into `target` on `painter` (a page, an image), laid out
    // afresh for that size.
    void paintInto(QPainter& painter, const QRectF& target);

private:
    void recolour();

    QBarSet* m_set = nullptr;
    QBarCategoryAxis* m_labels = nullptr;
    QValueAxis* m_counts = nullptr;
    QColor m_bar;
    QColor m_label;
    QColor m_grid;
    QColor m_plot;
};
