/* The execution timeout check named in the build tree's duk_config.h (tools/build/duktape_config.py). */
#include "DuktapeBudget.h"

int kelvo_duk_exec_timeout_check(void *udata) {
    const struct KelvoDukBudget *budget = (const struct KelvoDukBudget *)udata;
    /* A heap made without a budget runs unbounded, as plain Duktape does. */
    return budget != 0 && budget->isExhausted != 0 && budget->isExhausted(budget->self) != 0;
}
