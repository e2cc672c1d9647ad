#include "base/xml_node.h"

namespace nolu {
namespace {

Char FoldAscii(Char c) {
  return c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c;
}

}  // namespace

bool EqualsAsciiIgnoreCase(StringView a, StringView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

void TRuxXMLNode::AddAttribute(String name, String value) {
  attributes_.push_back({std::move(name), std::move(value)});
}

const TRuxXMLNode::Attribute* TRuxXMLNode::FindAttribute(StringView name) const {
  for (const Attribute& a : attributes_) {
    if (EqualsAsciiIgnoreCase(a.Name, name)) return &a;
  }
  return nullptr;
}

String TRuxXMLNode::GetAttribute(StringView name, StringView default_value) const {
  const Attribute* found = FindAttribute(name);
  return found ? found->Value : String(default_value);
}

TRuxXMLNode& TRuxXMLNode::AddChild(String name) {
  return AddChild(std::make_unique<TRuxXMLNode>(std::move(name)));
}

TRuxXMLNode& TRuxXMLNode::AddChild(std::unique_ptr<TRuxXMLNode> child) {
  children_.push_back(std::move(child));
  return *children_.back();
}

const TRuxXMLNode* TRuxXMLNode::FindNode(StringView name) const {
  for (const auto& child : children_) {
    if (EqualsAsciiIgnoreCase(child->Name(), name)) return child.get();
  }
  return nullptr;
}

}  // namespace nolu
