// The start-up alarm: a beep, then a string-table message in a box captioned "Quillbox".
#pragma once

void ReportStartupFailure(int messageId);
