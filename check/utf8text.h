#ifndef UTF8TEXT_H
#define UTF8TEXT_H

#include <QByteArray>
#include <QString>

// Text that encodes to valid UTF-8 whatever a checked program or page held: every unpaired
// surrogate as U+FFFD (Qt would write a "?" for it, silently).
QString validText(const QString &text);

// At most maxBytes of the text's UTF-8, cut back to a whole character.
QByteArray utf8Head(const QString &text, int maxBytes);

#endif
