#pragma once

#include <QString>
#include <QStringList>

// The known publishers (bookconcernList) the publisher boxes suggest.
namespace Publishers {

// Records a publisher, trimmed of blanks at both ends, unless a publisher of
// that name is known already or the trimmed name is empty. Throws StoreError.
void RememberPublisher(const QString& publisher);

// The known publishers whose name contains the typed text (trimmed), in the
// order they were recorded. Every character typed is taken as itself: a
// quote, "%" or "_" matches only that character. Throws StoreError.
QStringList SuggestPublishers(const QString& typed);

}  // namespace Publishers
