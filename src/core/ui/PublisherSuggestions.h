#pragma once

#include <QStringList>
#include <QTableWidget>
#include <functional>

class QLineEdit;

// The known publishers offered under a publisher box while the clerk types.
// Attached to the box, it runs one look-up per change of the box's text
// (typed or set by the program): blank text hides the list without a look-up;
// otherwise the list takes the matching names and shows when there is at
// least one, hides when there is none. A click on a name (or Enter on it)
// puts the name into the box and hides the list. While suppressed the list
// is never made visible. Down in the box moves into a shown list; Esc there
// hides it and returns to the box. The names come from the look-up it is
// given (the catalogue's known publishers); a look-up that throws StoreError
// offers nothing.
class PublisherSuggestions : public QTableWidget {
    Q_OBJECT
public:
    using LookUp = std::function<QStringList(const QString& typed)>;

    // Lies in `host` (the box's window) just under the box, covering what is
    // below it, at the given size in twips; hidden at first.
    PublisherSuggestions(QLineEdit* box, QWidget* host, int widthTwips, int heightTwips, LookUp lookUp);

    void setSuppressed(bool suppressed) { m_suppressed = suppressed; }
    bool suppressed() const { return m_suppressed; }
    // The names the list holds (kept while it is hidden).
    QStringList entries() const;

public slots:
    // The box's change handler.
    void refresh();
    // Takes the current entry into the box and hides the list.
    void pick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showUnderBox();
    void fill(const QStringList& names);

    QLineEdit* m_box;
    LookUp m_lookUp;
    bool m_suppressed = false;
};
