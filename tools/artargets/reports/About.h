// What check, render and report print: SARIF and JUnit logs of findings, the HTML
// report page, thumbnails, and the SVG drawing of a file's three views.
//
// Where things are:
//   SarifLog.h     check --format sarif
//   JUnitReport.h  check --format junit
//   HtmlReport.h   the report's page
//   Thumbnail.h    the report's thumbnails
//   TargetViews.h  the top, front and side views as SVG (render, report)
//   LabelPlacement.h  where the views' labels go: off each other and the arrows, or gathered
//   TargetIdentity.h  a target's name in JUnit and SARIF: its name and id, not its place
#pragma once
