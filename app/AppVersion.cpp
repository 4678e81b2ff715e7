#include "app/AppVersion.h"

String AppVersionText()
{
    return u"1.0.0";
}
