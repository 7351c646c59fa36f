#pragma once

// Turns the attributes of a tree XML element into an item record, and merges
// a record onto the template of a "baseattributes" element.

#include "tree/myitem.h"

#include <QString>

#include <memory>

class KPROPS;

// The value of an element's attribute, its name matched without case;
// empty when the element has none.
QString Attribute(const KPROPS& attributes, const QString& name);

// A new record from the attributes of an "item", "component", "folder" or
// "baseattributes" element. `underServer` tells whether the element's
// parent item lies in a server's subtree (a folder there is a component).
std::unique_ptr<CMyItem> ParseItemAttributes(const QString& element, const KPROPS& attributes,
                                             bool underServer);

// A copy of the template with the parsed record's values on top.
std::unique_ptr<CMyItem> MergeBaseAttributes(const CMyItem& base, const CMyItem& parsed);
