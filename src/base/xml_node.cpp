#include "base/xml_node.h"

namespace nolu {

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
