#pragma once

// The display vocabulary of the Velnix server family that the built-in
// language pack carries: the element types (by number and by the server's
// type name), the names of the server's page frames, time zones, modules and
// reports. The keys are what the servers send; the texts are what the user
// sees when no language pack file says otherwise.

#include <span>

struct ElementTypeResource {
    unsigned number;  // 104000 to 105247
    const char16_t* typeName;
    const char16_t* displayName;
};

struct VocabularyResource {
    const char16_t* key;
    const char16_t* text;
};

// 626 element types in ascending number order; numbers and type names are unique.
std::span<const ElementTypeResource> ElementTypes();

// 134 further keys, in this order: page frames, "NoData", time-zone codes
// ("gmt-5", "pst8pdt"), modules ("pm:Module") and reports ("trend:Report").
std::span<const VocabularyResource> ServerVocabulary();
