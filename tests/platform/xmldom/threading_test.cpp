// Documents on different threads parse at once without sharing state.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"

namespace nv::xml {
namespace {

TEST(XmlThreads, ParallelLoadsKeepTheirOwnResultsAndErrors) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 40;
    std::atomic<int> mistakes{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &mistakes] {
            for (int round = 0; round < kRounds; ++round) {
                Document doc;
                std::string id = std::to_string(t) + "-" + std::to_string(round);
                switch ((t + round) % 4) {
                    case 0:
                        if (!doc.loadXML("<r xmlns:p='urn:" + id + "'><p:v>" + id + "</p:v></r>") ||
                            doc.documentElement().firstChild().text() != id ||
                            doc.documentElement().firstChild().namespaceURI() != "urn:" + id) {
                            ++mistakes;
                        }
                        break;
                    case 1:
                        if (doc.loadXML("<r>\n<" + id + "/></r>") || doc.parseError().line != 2) {
                            ++mistakes;
                        }
                        break;
                    case 2:
                        if (doc.loadXML("<!DOCTYPE r [<!ENTITY e 'x'>]><r/>") ||
                            doc.parseError().reason.find("entity declarations") ==
                                std::string::npos) {
                            ++mistakes;
                        }
                        break;
                    default:
                        if (doc.loadXML("<?xml version='1.0' encoding='US-ASCII'?><r>\xE9</r>") ||
                            !doc.parseError().failed) {
                            ++mistakes;
                        }
                        break;
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(mistakes.load(), 0);
}

}  // namespace
}  // namespace nv::xml
