// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace brev {

// Keeps one listener subscribed for as long as it lives; reset or destroyed, unsubscribes it.
// It may outlive what it listens to.
class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> unsubscribe)
        : unsubscribe_(std::move(unsubscribe)) {}
    Subscription(Subscription&& other) noexcept
        : unsubscribe_(std::exchange(other.unsubscribe_, {})) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            unsubscribe_ = std::exchange(other.unsubscribe_, {});
        }
        return *this;
    }
    ~Subscription() { reset(); }

    void reset() {
        if (auto unsubscribe = std::exchange(unsubscribe_, {}))
            unsubscribe();
    }

private:
    std::function<void()> unsubscribe_;
};

// Any number of listeners, called in the order they subscribed. A listener may subscribe or
// unsubscribe any, itself included, while it is called; one subscribed then waits for the next
// call.
template <typename... Args> class Listeners {
public:
    using Listener = std::function<void(Args...)>;

    Listeners() = default;
    Listeners(const Listeners&) = delete;
    Listeners& operator=(const Listeners&) = delete;

    [[nodiscard]] Subscription subscribe(Listener listener) {
        const std::uint64_t id = list_->nextId++;
        list_->entries.push_back({id, std::make_shared<const Listener>(std::move(listener))});
        return Subscription([weak = std::weak_ptr<List>(list_), id] {
            if (auto list = weak.lock())
                std::erase_if(list->entries, [id](const Entry& entry) { return entry.id == id; });
        });
    }

    void operator()(Args... args) const {
        const std::vector<Entry>& entries = list_->entries;
        const std::uint64_t end = list_->nextId;
        // By id rather than by position: the entries may change under each call.
        for (std::uint64_t next = 0;;) {
            auto at = std::lower_bound(
                entries.begin(), entries.end(), next,
                [](const Entry& entry, std::uint64_t id) { return entry.id < id; });
            if (at == entries.end() || at->id >= end)
                return;
            next = at->id + 1;
            // Held while it runs, though it may unsubscribe itself.
            const std::shared_ptr<const Listener> listener = at->listener;
            (*listener)(args...);
        }
    }

private:
    struct Entry {
        std::uint64_t id;
        std::shared_ptr<const Listener> listener;
    };
    struct List {
        std::vector<Entry> entries; // by id
        std::uint64_t nextId = 0;
    };

    std::shared_ptr<List> list_ = std::make_shared<List>();
};

} // namespace brev
