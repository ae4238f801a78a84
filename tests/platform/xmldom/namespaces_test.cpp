// Namespace resolution: names, URIs, defaults, redeclarations, in-scope lookup.
#include <string>

#include <gtest/gtest.h>

#include "platform/xmldom/document.h"

namespace nv::xml {
namespace {

constexpr const char* kWsdl = R"(<?xml version="1.0"?>
<wsdl:definitions xmlns:wsdl="http://schemas.xmlsoap.org/wsdl/"
                  xmlns="http://example.com/default"
                  xmlns:tns="http://example.com/tns">
  <wsdl:types>
    <schema xmlns="http://www.w3.org/2001/XMLSchema" targetNamespace="http://example.com/tns">
      <element name="Get" type="tns:GetType"/>
    </schema>
  </wsdl:types>
  <message name="m"/>
</wsdl:definitions>)";

TEST(XmlNamespaces, BaseNameDropsThePrefixNodeNameKeepsIt) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(kWsdl)) << doc.parseError().reason;
    Node root = doc.documentElement();
    EXPECT_EQ(root.baseName(), "definitions");
    EXPECT_EQ(root.prefix(), "wsdl");
    EXPECT_EQ(root.nodeName(), "wsdl:definitions");
    EXPECT_EQ(root.namespaceURI(), "http://schemas.xmlsoap.org/wsdl/");
}

TEST(XmlNamespaces, UnprefixedElementsTakeTheDefaultNamespaceInScope) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(kWsdl));
    Node root = doc.documentElement();
    Node message = root.firstChildElement("message");
    EXPECT_EQ(message.nodeName(), "message");
    EXPECT_TRUE(message.prefix().empty());
    EXPECT_EQ(message.namespaceURI(), "http://example.com/default");
    Node element = root.firstChildElement("types").firstChildElement("schema").firstChildElement();
    EXPECT_EQ(element.baseName(), "element");
    EXPECT_EQ(element.namespaceURI(), "http://www.w3.org/2001/XMLSchema");
}

TEST(XmlNamespaces, AnEmptyDefaultDeclarationLeavesNoNamespace) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xmlns='urn:a'><b xmlns=''><c/></b></a>"));
    Node b = doc.documentElement().firstChild();
    EXPECT_EQ(doc.documentElement().namespaceURI(), "urn:a");
    EXPECT_TRUE(b.namespaceURI().empty());
    EXPECT_TRUE(b.firstChild().namespaceURI().empty());
    EXPECT_TRUE(b.lookupNamespaceURI("").empty());
}

TEST(XmlNamespaces, RedeclaredPrefixesBindInnermostFirst) {
    Document doc;
    ASSERT_TRUE(
        doc.loadXML("<p:a xmlns:p='urn:outer'><p:b xmlns:p='urn:inner'><p:c/></p:b>"
                    "<p:d/></p:a>"));
    Node a = doc.documentElement();
    Node b = a.firstChild();
    EXPECT_EQ(a.namespaceURI(), "urn:outer");
    EXPECT_EQ(b.namespaceURI(), "urn:inner");
    EXPECT_EQ(b.firstChild().namespaceURI(), "urn:inner");
    EXPECT_EQ(b.nextSibling().namespaceURI(), "urn:outer");
    EXPECT_EQ(b.firstChild().lookupNamespaceURI("p"), "urn:inner");
    EXPECT_EQ(a.lookupNamespaceURI("p"), "urn:outer");
}

TEST(XmlNamespaces, LookupResolvesQNameValuedAttributes) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(kWsdl));
    Node element = doc.documentElement()
                       .firstChildElement("types")
                       .firstChildElement("schema")
                       .firstChildElement("element");
    std::string type = element.attribute("type");
    ASSERT_EQ(type, "tns:GetType");
    EXPECT_EQ(element.lookupNamespaceURI(type.substr(0, type.find(':'))), "http://example.com/tns");
    EXPECT_EQ(element.lookupNamespaceURI(""), "http://www.w3.org/2001/XMLSchema");
    EXPECT_EQ(element.lookupNamespaceURI("wsdl"), "http://schemas.xmlsoap.org/wsdl/");
    EXPECT_TRUE(element.lookupNamespaceURI("nope").empty());
    EXPECT_EQ(element.lookupNamespaceURI("xml"), "http://www.w3.org/XML/1998/namespace");
}

TEST(XmlNamespaces, LookupFromTextNodesUsesTheirElement) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<a xmlns:q='urn:q'>q:Value</a>"));
    EXPECT_EQ(doc.documentElement().firstChild().lookupNamespaceURI("q"), "urn:q");
}

TEST(XmlNamespaces, UndeclaredPrefixFailsTheLoad) {
    Document doc;
    EXPECT_FALSE(doc.loadXML("<p:a/>"));
    EXPECT_TRUE(doc.parseError().failed);
    EXPECT_NE(doc.parseError().reason.find("p"), std::string::npos);
    EXPECT_TRUE(doc.documentElement().isNull());
}

TEST(XmlNamespaces, NamespaceNamesThatAreNotUrisStillLoad) {
    Document doc;
    ASSERT_TRUE(doc.loadXML("<p:a xmlns:p='http://x/a b%zz://c' xmlns='rel/ative'><b/></p:a>"))
        << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().namespaceURI(), "http://x/a b%zz://c");
    EXPECT_EQ(doc.documentElement().firstChild().namespaceURI(), "rel/ative");
}

TEST(XmlNamespaces, PrefixedAttributesCarryTheirNamespace) {
    Document doc;
    ASSERT_TRUE(doc.loadXML(
        "<a xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance' xsi:type='t' plain='p'/>"));
    Node a = doc.documentElement();
    EXPECT_EQ(a.attributeNS("http://www.w3.org/2001/XMLSchema-instance", "type"), "t");
    EXPECT_EQ(a.attributeNS("", "plain"), "p");
    EXPECT_TRUE(a.attributeNS("", "type").empty());
    EXPECT_EQ(a.attributeNS("http://www.w3.org/2000/xmlns/", "xsi"),
              "http://www.w3.org/2001/XMLSchema-instance");
}

}  // namespace
}  // namespace nv::xml
