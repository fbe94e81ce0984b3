/* How the engine's execution timeout check reaches its caller: the heap's user data points at one of these. */
#ifndef KELVO_DUKTAPE_BUDGET_H
#define KELVO_DUKTAPE_BUDGET_H

#if defined(__cplusplus)
extern "C" {
#endif

/* `isExhausted(self)` answers nonzero once the running script has had its time; Duktape then throws a RangeError
   into it. Called from inside the interpreter every few thousand instructions, so it must be cheap. */
struct KelvoDukBudget {
    int (*isExhausted)(void *self);
    void *self;
};

#if defined(__cplusplus)
}
#endif

#endif
