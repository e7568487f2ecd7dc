#ifndef ORVANE_APP_LOGGING_H
#define ORVANE_APP_LOGGING_H

#include <QString>

// Writes one diagnostic line to the debug log exactly as given (no quoting, no spaces added).
void logLine(const QString &line);
// Writes a line followed by an error text, the form of every "... failed" diagnostic.
void logLine(const QString &line, const QString &error);

#endif
