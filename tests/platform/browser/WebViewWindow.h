// A page view on a hidden parent window, for the view's tests.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/browser/WebView.h"

class WebViewWindow : public testing::Test {
protected:
    void SetUp() override {
        m_parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_parent, nullptr);
        m_view = platform::CWebView::CreateChild(::GetModuleHandleW(nullptr), m_parent, 1008, RECT{0, 0, 400, 200});
        ASSERT_NE(m_view, nullptr);
    }
    void TearDown() override {
        if (m_parent != nullptr) {
            ::DestroyWindow(m_parent);
        }
    }

    HWND m_parent = nullptr;
    platform::CWebView* m_view = nullptr;  // the window's
};
