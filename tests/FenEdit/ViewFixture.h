// A TFenEdit in a headless window with fixed metrics: single byte 8 px, double byte 16 px,
// cell 16 px; 640 x 480 client.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FenEdit/FenEdit.h"
#include "platform/headless/HeadlessWindowHost.h"

struct EditView {
  explicit EditView(int width = 640, int height = 480) : host(width, height) {
    host.Canvas().SetMetrics(8, 16, 16);
    edit = std::make_unique<TFenEdit>();
    host.Attach(edit.get());
  }
  ~EditView() { edit.reset(); }
  void Create() { edit->CreateHandle(); }
  // n rows "row<i>" each ending a line; the last row without a break.
  static std::string Rows(int n) {
    std::string t;
    for (int i = 0; i < n; ++i) {
      t += "row" + std::to_string(i);
      if (i + 1 < n) t += "\r\n";
    }
    return t;
  }

  HeadlessWindowHost host;
  std::unique_ptr<TFenEdit> edit;
};
