// Replaces the non-throwing allocation of this test binary so the creator's
// exhausted-memory path and its release after a throwing constructor show.
#include <new>
#include <stdexcept>

#include <gtest/gtest.h>

#include "component/api.h"
#include "component/layerimagequalitymodel.h"
#include "tests/component/fake_host.h"

namespace {
bool g_exhausted = false;
int g_nothrowReleases = 0;
} // namespace

void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    if (g_exhausted)
        return nullptr;
    try {
        return ::operator new(n);
    } catch (...) {
        return nullptr;
    }
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    ++g_nothrowReleases;
    ::operator delete(p);
}

namespace {

using Tmpl = pqx::ComponentTmpl<layerimagequality::LayerImageQualityModel>;

TEST(Creator, GivesNullWithoutConstructingWhenMemoryIsExhausted) {
    fake_host::Api host;
    pqx::api::get().iapi = &host;
    g_exhausted = true;
    void* model = Tmpl::componentInfo.creator();
    g_exhausted = false;
    EXPECT_EQ(model, nullptr);
    EXPECT_TRUE(host.log.empty());
}

TEST(Creator, ReleasesTheStorageWhenTheConstructorThrows) {
    fake_host::Api host;
    host.handler.throwOnRegister = true;
    pqx::api::get().iapi = &host;
    g_nothrowReleases = 0;
    EXPECT_THROW(Tmpl::componentInfo.creator(), std::runtime_error);
    EXPECT_EQ(g_nothrowReleases, 1);
}

} // namespace
