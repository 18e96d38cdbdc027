#include "execution/ProgressView.h"

namespace {
IProgressView *g_form = nullptr;
std::function<IProgressView *()> g_factory;
} // namespace

IProgressView *ProgressForm() { return g_form; }

IProgressView *CreateProgressForm() {
    if (!g_form && g_factory)
        g_form = g_factory();
    return g_form;
}

void SetProgressFormFactory(std::function<IProgressView *()> factory) { g_factory = std::move(factory); }

void ResetProgressForm() { g_form = nullptr; }
