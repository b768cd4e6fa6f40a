// The store's file worker: tasks in the order posted, the bound on the bytes they
// carry (refused at once, never waited for), and Settle and the destructor waiting
// for what was posted.

#include "store/file_worker.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

namespace tracewell::store {
namespace {

// A task that holds the worker until the test lets it go.
struct Gate {
  std::promise<void> open;
  std::shared_future<void> opened = open.get_future().share();
  CFileWorker::Task Task() {
    return [opened = opened] { opened.wait(); };
  }
};

TEST(FileWorker, RunsTasksInOrderAndRefusesBytesBeyondItsBoundWithoutWaiting) {
  std::vector<std::string> ran;  // written by the worker only until Settle returns
  CFileWorker worker(100);
  Gate gate;
  worker.Post(gate.Task());
  EXPECT_TRUE(worker.TryPost(60, [&] { ran.push_back("a"); }));
  EXPECT_TRUE(worker.TryPost(40, [&] { ran.push_back("b"); }));  // exactly the bound
  EXPECT_FALSE(worker.TryPost(1, [&] { ran.push_back("refused"); }));
  worker.Post([&] { ran.push_back("small"); });  // a task without bytes is always taken
  gate.open.set_value();
  worker.Settle();
  EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "small"}));
  // Bytes whose tasks have run are free again; one task as large as the bound fits.
  EXPECT_TRUE(worker.TryPost(100, [&] { ran.push_back("c"); }));
  EXPECT_FALSE(worker.TryPost(101, [&] { ran.push_back("too large"); }));
  worker.Settle();
  EXPECT_EQ(ran.back(), "c");
}

TEST(FileWorker, SettleWaitsForTasksPostedBeforeItAndTheDestructorForAll) {
  int count = 0;
  {
    CFileWorker worker(10);
    Gate gate;
    worker.Post(gate.Task());
    for (int i = 0; i < 5; ++i) worker.Post([&] { ++count; });
    auto settled = std::async(std::launch::async, [&] { worker.Settle(); });
    EXPECT_EQ(settled.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    gate.open.set_value();
    settled.get();
    EXPECT_EQ(count, 5);
    // A task may post the next one, as the store's failed body posts its removal.
    worker.Post([&] { worker.Post([&] { ++count; }); });
    for (int i = 0; i < 3; ++i) worker.Post([&] { ++count; });
  }
  EXPECT_EQ(count, 9);
}

}  // namespace
}  // namespace tracewell::store
