// Node allocation and linking for ObjectList.
#include "play/ObjectList.h"

#include <new>

int32_t ObjectList::add(int32_t spriteId)
{
    GameObject* node = new (std::nothrow) GameObject{};
    if (node == nullptr) {
        return 0;
    }
    lastAdded = node;
    node->prev = nullptr;
    node->next = head;
    node->spriteId = spriteId;
    if (head != nullptr) {
        head->prev = node;
    }
    head = node;
    return 1;
}

void ObjectList::remove(GameObject* node)
{
    if (node == nullptr) {
        return;
    }
    if (node->prev != nullptr && node->next != nullptr) {
        node->prev->next = node->next;
        node->next->prev = node->prev;
    } else if (node->prev == nullptr && node->next != nullptr) {
        head = node->next;
        head->prev = nullptr;
    } else if (node->prev != nullptr) {
        node->prev->next = nullptr;
    } else {
        head = nullptr;
    }
    if (lastAdded == node) {
        lastAdded = nullptr;
    }
    delete node;
}

int32_t ObjectList::findSprite(int32_t kind) const
{
    for (const GameObject* node = head; node != nullptr; node = node->next) {
        if (node->kind == kind) {
            return node->spriteId;
        }
    }
    return 0;
}

void ObjectList::clear()
{
    GameObject* node = head;
    while (node != nullptr) {
        GameObject* next = node->next;
        delete node;
        node = next;
    }
    head = nullptr;
    lastAdded = nullptr;
}
