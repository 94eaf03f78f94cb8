#include "ui/local_subclass.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct Link {
  SUBCLASSPROC proc;
  UINT_PTR id;
  DWORD_PTR data;
};

struct Chain {
  WNDPROC original = nullptr;
  std::vector<Link> links;  // the last one set sees a message first
  // While a message goes down the chain: the links below this index are
  // still to see it. Each message that enters the chain saves and restores
  // it, so a message sent from within a procedure has a walk of its own.
  std::size_t below = 0;
};

// Windows of any thread of the process may have chains; the lock is held
// only for a look-up, never while a procedure runs. Both live as long as the
// process: a window may still take messages while static objects end.
std::mutex& chainsLock = *new std::mutex;
std::unordered_map<HWND, std::unique_ptr<Chain>>& chains = *new std::unordered_map<HWND, std::unique_ptr<Chain>>;

Chain* ChainOf(HWND window) {
  std::lock_guard<std::mutex> lock(chainsLock);
  const auto found = chains.find(window);
  return found == chains.end() ? nullptr : found->second.get();
}

LRESULT CALLBACK ChainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Chain* chain = ChainOf(window);
  if (chain == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  const std::size_t saved = chain->below;
  chain->below = chain->links.size();
  const LRESULT result = DefLocalSubclassProc(window, message, wParam, lParam);
  chain->below = saved;
  if (message == WM_NCDESTROY) {
    // The window's last message: it no longer needs its chain.
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain->original));
    std::lock_guard<std::mutex> lock(chainsLock);
    chains.erase(window);
  }
  return result;
}

}  // namespace

bool SetLocalSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
  if (window == nullptr || proc == nullptr || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
    return false;
  if (Chain* chain = ChainOf(window)) {
    for (Link& link : chain->links)
      if (link.proc == proc && link.id == id) {
        link.data = data;
        return true;
      }
    chain->links.push_back({proc, id, data});
    return true;
  }
  auto chain = std::make_unique<Chain>();
  chain->links.push_back({proc, id, data});
  Chain& added = *chain;
  {
    std::lock_guard<std::mutex> lock(chainsLock);
    chains[window] = std::move(chain);
  }
  added.original =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChainProc)));
  if (added.original != nullptr) return true;
  std::lock_guard<std::mutex> lock(chainsLock);
  chains.erase(window);
  return false;
}

LRESULT DefLocalSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Chain* chain = ChainOf(window);
  if (chain == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (chain->below == 0) return CallWindowProcW(chain->original, window, message, wParam, lParam);
  const std::size_t at = --chain->below;
  const Link link = chain->links[at];  // a copy: the procedure may add links
  const LRESULT result = link.proc(window, message, wParam, lParam, link.id, link.data);
  chain->below = at + 1;
  return result;
}

bool FindLocalSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR& data) {
  const Chain* chain = ChainOf(window);
  if (chain == nullptr) return false;
  for (const Link& link : chain->links)
    if (link.proc == proc && link.id == id) {
      data = link.data;
      return true;
    }
  return false;
}
