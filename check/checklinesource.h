#ifndef CHECK_CHECKLINESOURCE_H
#define CHECK_CHECKLINESOURCE_H

#include "check/result.h"

// Check lines handed out one at a time, so that a run never needs a script held whole.
class CheckLineSource
{
public:
    virtual ~CheckLineSource() = default;
    // The next line; false once there are no more.
    virtual bool next(CheckLine *line) = 0;
};

#endif
