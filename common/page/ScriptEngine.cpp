// One page's Duktape heap with its time budget and memory cap.
#include "common/page/ScriptEngine.h"

#include <cstdlib>
#include <cstring>

#include "common/text/Utf.h"

namespace common {

namespace {

// Each block carries its size in front, so the cap can count what a reallocation or a free gives back.
// 16 bytes keep the block itself aligned as malloc's is.
constexpr size_t kBlockHeader = 16;

size_t BlockSize(void* block) {
    size_t size = 0;
    std::memcpy(&size, static_cast<char*>(block) - kBlockHeader, sizeof size);
    return size;
}

}  // namespace

ScriptEngine::ScriptEngine(IScriptClock& clock, uint32_t budgetMs, size_t heapLimit)
    : m_clock(clock), m_budgetMs(budgetMs), m_heapLimit(heapLimit) {
    m_budget.isExhausted = &ScriptEngine::IsExhausted;
    m_budget.self = this;
    // The heap's user data goes both to the allocator and to the timeout check; the check reads it as a
    // KelvoDukBudget, so the allocator gets the same pointer and finds the engine through it.
    m_context = duk_create_heap(&ScriptEngine::Allocate, &ScriptEngine::Reallocate, &ScriptEngine::Free, &m_budget,
                                nullptr);
    if (m_context == nullptr) {
        std::abort();  // a heap that cannot be made is a failed allocation, which is fatal here
    }
}

ScriptEngine::~ScriptEngine() {
    duk_destroy_heap(m_context);
}

int ScriptEngine::IsExhausted(void* self) {
    auto* engine = static_cast<ScriptEngine*>(self);
    if (engine->m_depth == 0) {
        return 0;  // the engine's own calls between scripts (setting up globals) are never cut short
    }
    if (engine->m_clock.NowMs() >= engine->m_deadline) {
        engine->m_wasStopped = true;
        return 1;
    }
    return 0;
}

void* ScriptEngine::Allocate(void* self, duk_size_t size) {
    auto* engine = static_cast<ScriptEngine*>(static_cast<KelvoDukBudget*>(self)->self);
    if (size > engine->m_heapLimit - engine->m_heapUsed) {
        return nullptr;  // Duktape runs a collection and retries, then throws an out-of-memory error
    }
    auto* raw = static_cast<char*>(std::malloc(size + kBlockHeader));
    if (raw == nullptr) {
        return nullptr;
    }
    std::memcpy(raw, &size, sizeof size);
    engine->m_heapUsed += size;
    return raw + kBlockHeader;
}

void* ScriptEngine::Reallocate(void* self, void* block, duk_size_t size) {
    if (block == nullptr) {
        return Allocate(self, size);
    }
    auto* engine = static_cast<ScriptEngine*>(static_cast<KelvoDukBudget*>(self)->self);
    size_t old = BlockSize(block);
    if (size == 0) {
        Free(self, block);
        return nullptr;
    }
    if (size > old && size - old > engine->m_heapLimit - engine->m_heapUsed) {
        return nullptr;
    }
    auto* raw = static_cast<char*>(std::realloc(static_cast<char*>(block) - kBlockHeader, size + kBlockHeader));
    if (raw == nullptr) {
        return nullptr;
    }
    std::memcpy(raw, &size, sizeof size);
    engine->m_heapUsed = engine->m_heapUsed - old + size;
    return raw + kBlockHeader;
}

void ScriptEngine::Free(void* self, void* block) {
    if (block == nullptr) {
        return;
    }
    auto* engine = static_cast<ScriptEngine*>(static_cast<KelvoDukBudget*>(self)->self);
    engine->m_heapUsed -= BlockSize(block);
    std::free(static_cast<char*>(block) - kBlockHeader);
}

bool ScriptEngine::Enter() {
    if (m_depth++ == 0) {
        m_wasStopped = false;
        m_lastError.clear();
        m_deadline = m_clock.NowMs() + m_budgetMs;
    }
    return true;
}

bool ScriptEngine::Leave(duk_int_t result, bool* returnedFalse) {
    bool isOk = result == DUK_EXEC_SUCCESS;
    if (returnedFalse != nullptr) {
        *returnedFalse = isOk && duk_is_boolean(m_context, -1) && !duk_get_boolean(m_context, -1);
    }
    if (!isOk && m_lastError.empty()) {
        m_lastError = duk_safe_to_string(m_context, -1);
    }
    duk_pop(m_context);
    --m_depth;
    return isOk;
}

bool ScriptEngine::Run(std::u16string_view source) {
    Enter();
    PushString(m_context, source);
    duk_push_string(m_context, "page");
    duk_int_t result = duk_pcompile(m_context, DUK_COMPILE_EVAL);
    if (result == DUK_EXEC_SUCCESS) {
        result = duk_pcall(m_context, 0);
    }
    return Leave(result);
}

bool ScriptEngine::CallMethod(int argCount, bool* returnedFalse) {
    Enter();
    return Leave(duk_pcall_method(m_context, argCount), returnedFalse);
}

void ScriptEngine::PushString(duk_context* context, std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t unit : text) {
        if (unit < 0x80) {
            bytes += static_cast<char>(unit);
        } else if (unit < 0x800) {
            bytes += static_cast<char>(0xC0 | (unit >> 6));
            bytes += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (unit >> 12));
            bytes += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    duk_push_lstring(context, bytes.data(), bytes.size());
}

std::u16string ScriptEngine::ToString(duk_context* context, duk_idx_t index) {
    duk_size_t size = 0;
    duk_dup(context, index);
    const char* bytes = duk_safe_to_lstring(context, -1, &size);
    std::u16string text = bytes != nullptr ? Utf8ToUtf16(reinterpret_cast<const uint8_t*>(bytes), size) : u"";
    duk_pop(context);
    return text;
}

}  // namespace common
