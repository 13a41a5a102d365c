/* The engine's library interface, with C linkage: the MBROLA entry points
   as the Ilvra voice loads them by name. One engine per process.

   Results: init_MBR and init_rename_MBR give 0, or a negative error code;
   write_MBR gives 1, or a negative code when a line could not be used;
   read_MBR and readtype_MBR the number of samples stored (0 when none is
   ready); flush_MBR and reset_MBR 1, or a negative code without a database.
   lastError_MBR gives the last error code (0 for none; reset_MBR clears
   it) and lastErrorStr_MBR its text. */
#ifndef PLACARIM_MBR_MBROLA_H
#define PLACARIM_MBR_MBROLA_H

#ifdef __cplusplus
extern "C" {
#endif

/* A phone as init_Phone makes it, for a parser of one's own (setParser_MBR):
   its name (at most 7 characters, longer ones are cut), its length and its
   pitch points in the order appended. Points beyond MBR_PHONE_POINTS are
   dropped. reset_Phone empties the points; close_Phone frees the phone. */
#define MBR_PHONE_POINTS 64
typedef struct {
  float position; /* percent of the phone */
  float hz;
} MbrPitchPoint;
typedef struct {
  char name[8];
  float length_ms;
  int point_count;
  MbrPitchPoint points[MBR_PHONE_POINTS];
} MbrPhone;

/* Sample types of readtype_MBR. */
enum { MBR_LIN16 = 0, MBR_LIN8 = 1, MBR_ULAW = 2, MBR_ALAW = 3 };

int init_MBR(char* database_path);
int init_rename_MBR(char* database_path, char* rename, char* clone);
int write_MBR(char* lines);
int flush_MBR(void);
int read_MBR(short* buffer, int wanted);
int readtype_MBR(void* buffer, int wanted, int type);
void close_MBR(void);
int reset_MBR(void);
int lastError_MBR(void);
int lastErrorStr_MBR(char* buffer, int size);
void setNoError_MBR(int no_error);
int getNoError_MBR(void);
void setFreq_MBR(int frequency);
int getFreq_MBR(void);
void setVolumeRatio_MBR(float ratio);
float getVolumeRatio_MBR(void);
int getVersion_MBR(char* buffer, int size);
int getDatabaseInfo_MBR(char* buffer, int size, int index);
void setParser_MBR(void* parser);
void* init_Phone(char* name, float length_ms); /* an MbrPhone */
void reset_Phone(void* phone);
void close_Phone(void* phone);
void appendf0_Phone(void* phone, float position, float hz);

#ifdef __cplusplus
}
#endif

#endif
