// [Model]: finding models by name. A file may hold thousands of models and
// every pin, selector and schedule looks its model up, so the models of one
// file share a hash index of their names; a list without an index (memory
// was short) is searched from its head instead. The index holds one model
// per name, the newest, so that a file of many models of one name costs no
// more to look through than one of distinct names.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/mdl_internal.h"
#include "IbisParser/msg.h"

struct MDL_INDEX {
    MDL** buckets;    // chains through MDL::indexNext, one model per name
    size_t capacity;  // a power of two
    size_t count;     // names held
    unsigned long nextSerial;
};

namespace {

constexpr size_t kFirstCapacity = 64;

size_t HashOf(const char* name) {
    uint64_t hash = 1469598103934665603ULL;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p != '\0'; ++p) {
        hash ^= *p;
        hash *= 1099511628211ULL;
    }
    return static_cast<size_t>(hash ^ (hash >> 29));
}

void Grow(MDL_INDEX* index) {
    const size_t capacity = index->capacity * 2;
    auto* buckets = static_cast<MDL**>(std::calloc(capacity, sizeof(MDL*)));
    if (buckets == nullptr) return;  // longer chains, still correct
    for (size_t i = 0; i < index->capacity; ++i) {
        for (MDL* model = index->buckets[i]; model != nullptr;) {
            MDL* next = model->indexNext;
            MDL** chain = &buckets[HashOf(model->name) & (capacity - 1)];
            model->indexNext = *chain;
            *chain = model;
            model = next;
        }
    }
    std::free(index->buckets);
    index->buckets = buckets;
    index->capacity = capacity;
}

// Lists are newest first; the newest model of a name is the one found.
MDL* FindInList(MDL* list, const char* name, const MDL* except) {
    for (MDL* model = list; model != nullptr; model = model->next)
        if (model != except && std::strcmp(model->name, name) == 0) return model;
    return nullptr;
}

// The link that holds the model of this name in its chain, or the chain's
// empty end when the index holds no such model.
MDL** LinkOf(const MDL_INDEX* index, const char* name) {
    MDL** link = &index->buckets[HashOf(name) & (index->capacity - 1)];
    while (*link != nullptr && std::strcmp((*link)->name, name) != 0) link = &(*link)->indexNext;
    return link;
}

MDL* FindInIndex(const MDL_INDEX* index, const char* name) { return *LinkOf(index, name); }

MDL* Lookup(MDL* list, const char* name) {
    MSG_REQUIRE(name != nullptr, MDL_MODULE);
    if (list == nullptr) return nullptr;
    return list->index != nullptr ? FindInIndex(list->index, name) : FindInList(list, name, nullptr);
}

}  // namespace

void MDL_IndexJoin(MDL* model, MDL* head) {
    if (head != nullptr) {
        model->index = head->index;
    } else {
        MDL_INDEX* index = nullptr;
        if (CMN_Calloc(&index, sizeof *index)) {
            index->buckets = static_cast<MDL**>(std::calloc(kFirstCapacity, sizeof(MDL*)));
            if (index->buckets != nullptr) {
                index->capacity = kFirstCapacity;
            } else {
                CMN_Free(index);
                index = nullptr;
            }
        }
        model->index = index;
    }
    if (model->index != nullptr) model->serial = ++model->index->nextSerial;
}

void MDL_IndexAdd(MDL* model) {
    MDL_INDEX* index = model->index;
    if (index == nullptr) return;
    if ((index->count + 1) * 2 > index->capacity) Grow(index);
    MDL** link = LinkOf(index, model->name);
    MDL* held = *link;
    if (held == nullptr) {
        model->indexNext = nullptr;
        *link = model;
        ++index->count;
        return;
    }
    // A later model of a known name takes its place in the chain.
    if (held->serial > model->serial) return;
    model->indexNext = held->indexNext;
    held->indexNext = nullptr;
    *link = model;
}

MDL* MDL_IndexFind(const MDL* model, const char* name) {
    if (model->index != nullptr) {
        MDL* found = FindInIndex(model->index, name);
        if (found != model) return found;
        // The model itself is the newest of its name: look past it.
        return FindInList(model->next, name, model);
    }
    // Without an index the model stands first in its list.
    return FindInList(model->next, name, model);
}

void MDL_IndexFree(MDL_INDEX* index) {
    if (index == nullptr) return;
    std::free(index->buckets);
    CMN_Free(index);
}

int MDL_Exists(MDL* list, const char* name) {
    MDL* model = Lookup(list, name);
    if (model == nullptr) return 0;
    model->referenced = 1;
    return 1;
}

MDL* MDL_Find(MDL* list, const char* name) { return Lookup(list, name); }

int MDL_TypeOf(MDL* list, const char* name) {
    const MDL* model = Lookup(list, name);
    return model != nullptr ? model->model_type : MDL_TYPE_NONE;
}
