#include "app/local_time.h"

#include "app/calls.h"
#include "app/declared_calls.h"

namespace app {

LocalTime ReadLocalTime() {
    uint16_t record[8] = {};
    CallDeclared(kGetLocalTime, record);
    return {record[0], record[1], record[2], record[3], record[4], record[5], record[6], record[7]};
}

}  // namespace app
