// Every product this build made, loaded from its own bundles the way a host loads them: each one
// answers with its own name, processes audio and recalls its state, beside the others.
#include "HostedPlugin.h"
#include "VyrBuiltProducts.h"

#include <gtest/gtest.h>
#include <cmath>

namespace
{
using namespace vyrTest;

struct BuiltProduct
{
    int number;
    const char* name;
    const char* vst3;
    const char* lv2Dir;
    const char* uri;
    const char* standalone;
};

const BuiltProduct builtProducts[] = { VYR_BUILT_PRODUCTS };

struct ProductFormat
{
    BuiltProduct product;
    bool lv2;
};

std::vector<ProductFormat> allCases()
{
    std::vector<ProductFormat> cases;
    for (const auto& p : builtProducts)
        for (bool lv2 : { false, true })
            cases.push_back ({ p, lv2 });
    return cases;
}

Loaded load (const ProductFormat& c)
{
    return c.lv2 ? loadLv2At (c.product.lv2Dir, c.product.uri) : loadVst3At (c.product.vst3);
}

class ProductHost : public ::testing::TestWithParam<ProductFormat> {};

TEST_P (ProductHost, LoadsUnderItsOwnNameProcessesAndRecallsItsState)
{
    const auto& c = GetParam();
    auto a = load (c);
    ASSERT_NE (a.instance, nullptr) << a.error;
    auto& p = *a.instance;
    EXPECT_EQ (p.getName(), juce::String (c.product.name));

    p.setPlayConfigDetails (2, 2, 48000.0, 512);
    p.prepareToPlay (48000.0, 512);
    const auto played = playSine (p, 20);
    ASSERT_TRUE (played.allFinite);
    // The signal utility plays its own generator; every other product passes the music on.
    EXPECT_GT (played.energyOut, 0.1 * played.energyIn);
    p.releaseResources();

    juce::MemoryBlock blob;
    p.getStateInformation (blob);
    ASSERT_GT (blob.getSize(), 100u);
    auto b = load (c);
    ASSERT_NE (b.instance, nullptr) << b.error;
    b.instance->setStateInformation (blob.getData(), (int) blob.getSize());
    juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
    juce::MemoryBlock blobB;
    b.instance->getStateInformation (blobB);
    EXPECT_TRUE (blobB == blob) << "the second instance saves a different state";
}

// Two products loaded side by side stay two plug-ins, each with its own name.
TEST (ProductsSideBySide, EachLoadsUnderItsOwnName)
{
    std::vector<Loaded> loaded;
    for (const auto& p : builtProducts)
    {
        loaded.push_back (loadVst3At (p.vst3));
        ASSERT_NE (loaded.back().instance, nullptr) << loaded.back().error;
    }
    for (size_t i = 0; i < loaded.size(); ++i)
        EXPECT_EQ (loaded[i].instance->getName(), juce::String (builtProducts[i].name));
}

INSTANTIATE_TEST_SUITE_P (Built, ProductHost, ::testing::ValuesIn (allCases()),
                          [] (const ::testing::TestParamInfo<ProductFormat>& info)
                          {
                              return "Product" + std::to_string (info.param.product.number) + (info.param.lv2 ? "_LV2" : "_VST3");
                          });
} // namespace
