// TRuxXMLNode: one element of a parsed XML document: its name, its attributes in document
// order, its child elements in document order and one text content.
//
// The text content is the last non-blank text or CDATA section directly inside the element;
// text is trimmed of XML white space at both ends, CDATA is kept as written. Lookups of
// children and attributes compare names ignoring the ASCII letters' case only (names of the
// same length, equal after folding a-z), as the setup script's names are matched.
#pragma once

#include <memory>
#include <vector>

#include "base/text.h"

namespace nolu {

class TRuxXMLNode {
 public:
  struct Attribute {
    String Name;
    String Value;
  };

  explicit TRuxXMLNode(String name) : name_(std::move(name)) {}
  TRuxXMLNode(const TRuxXMLNode&) = delete;
  TRuxXMLNode& operator=(const TRuxXMLNode&) = delete;

  const String& Name() const { return name_; }
  const String& Text() const { return text_; }
  void SetText(String text) { text_ = std::move(text); }

  const std::vector<Attribute>& Attributes() const { return attributes_; }
  void AddAttribute(String name, String value);
  // The first attribute of that name, or nullptr.
  const Attribute* FindAttribute(StringView name) const;
  // The value of the first attribute of that name, or `default_value`.
  String GetAttribute(StringView name, StringView default_value = {}) const;

  size_t Count() const { return children_.size(); }
  const TRuxXMLNode& Child(size_t index) const { return *children_[index]; }
  TRuxXMLNode& AddChild(String name);
  TRuxXMLNode& AddChild(std::unique_ptr<TRuxXMLNode> child);
  // The first child element of that name, or nullptr.
  const TRuxXMLNode* FindNode(StringView name) const;

 private:
  String name_;
  String text_;
  std::vector<Attribute> attributes_;
  std::vector<std::unique_ptr<TRuxXMLNode>> children_;
};

}  // namespace nolu
